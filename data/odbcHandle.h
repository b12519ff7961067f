#pragma once

#include <QString>
#include <QStringList>

#include <sql.h>
#include <sqlext.h>

#include "core/failure.h"

// A failure reported by the driver manager or a driver. The description holds every diagnostic
// record in the order the driver returned them, one per line; the SQLSTATEs are kept apart so
// that callers can tell failures apart without parsing the text.
struct DatabaseFailure : Failure {
    QStringList sqlStates;
};

namespace DatabaseFailureNumber {
inline constexpr int Provider = -2147467259;   // any failure of the driver or its server
inline constexpr int Timeout = -2147217871;    // the query time-out ran out
inline constexpr int Cancelled = -2147217842;  // the run was cancelled
}  // namespace DatabaseFailureNumber

// Owns one ODBC handle of one kind and frees it once. Move-only.
class OdbcHandle {
public:
    OdbcHandle() = default;
    // Allocates a handle of the given kind under the parent (SQL_NULL_HANDLE for an environment).
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
    ~OdbcHandle();
    OdbcHandle(OdbcHandle &&other) noexcept;
    OdbcHandle &operator=(OdbcHandle &&other) noexcept;
    OdbcHandle(const OdbcHandle &) = delete;
    OdbcHandle &operator=(const OdbcHandle &) = delete;

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
    void reset();
    // Lets go of the handle without freeing it: it belongs to whoever still uses it.
    SQLHANDLE release();

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// Reads every diagnostic record of the handle into a failure.
DatabaseFailure DiagnosticFailure(SQLSMALLINT type, SQLHANDLE handle, const char *function);

// Turns an ODBC return code into a failure: SQL_SUCCESS, SQL_SUCCESS_WITH_INFO and SQL_NO_DATA
// pass; anything else throws a DatabaseFailure with the handle's diagnostic records.
void check(SQLRETURN rc, const OdbcHandle &handle, const char *function);
void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char *function);

// ODBC wide text <-> QString. unixODBC's SQLWCHAR is UTF-16.
inline const SQLWCHAR *ToSqlWChar(const QString &text) {
    return reinterpret_cast<const SQLWCHAR *>(text.utf16());
}
inline QString FromSqlWChar(const SQLWCHAR *text, qsizetype length) {
    return QString(reinterpret_cast<const QChar *>(text), length);
}
