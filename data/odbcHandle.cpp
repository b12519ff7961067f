#include "data/odbcHandle.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
        handle_ = SQL_NULL_HANDLE;
        if (parent != SQL_NULL_HANDLE) {
            const SQLSMALLINT parentType = type == SQL_HANDLE_STMT  ? SQL_HANDLE_DBC
                                           : type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV
                                                                    : SQL_HANDLE_DBC;
            throw DiagnosticFailure(parentType, parent, "SQLAllocHandle");
        }
        throw DatabaseFailure{{DatabaseFailureNumber::Provider,
                               QStringLiteral("ODBC ドライバー マネージャーを初期化できません。")},
                              {}};
    }
}

OdbcHandle::~OdbcHandle() {
    reset();
}

OdbcHandle::OdbcHandle(OdbcHandle &&other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}

OdbcHandle &OdbcHandle::operator=(OdbcHandle &&other) noexcept {
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void OdbcHandle::reset() {
    if (handle_ != SQL_NULL_HANDLE) {
        SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
}

SQLHANDLE OdbcHandle::release() {
    return std::exchange(handle_, SQLHANDLE(SQL_NULL_HANDLE));
}

DatabaseFailure DiagnosticFailure(SQLSMALLINT type, SQLHANDLE handle, const char *function) {
    DatabaseFailure failure;
    failure.number = DatabaseFailureNumber::Provider;
    QStringList lines;
    for (SQLSMALLINT record = 1;; ++record) {
        std::array<SQLWCHAR, 6> state{};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        // Ask for the length first so that long messages are read whole.
        SQLRETURN rc =
            SQLGetDiagRecW(type, handle, record, state.data(), &native, nullptr, 0, &length);
        if (!SQL_SUCCEEDED(rc)) {
            break;
        }
        std::vector<SQLWCHAR> message(static_cast<size_t>(length) + 1);
        rc = SQLGetDiagRecW(type, handle, record, state.data(), &native, message.data(),
                            static_cast<SQLSMALLINT>(message.size()), &length);
        if (!SQL_SUCCEEDED(rc)) {
            break;
        }
        failure.sqlStates.append(FromSqlWChar(state.data(), 5));
        lines.append(FromSqlWChar(message.data(), std::min<qsizetype>(length, message.size() - 1)));
    }
    if (lines.isEmpty()) {
        lines.append(QStringLiteral("%1 が失敗しました。").arg(QLatin1String(function)));
    }
    failure.description = lines.join(QLatin1Char('\n'));
    return failure;
}

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char *function) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) {
        return;
    }
    throw DiagnosticFailure(type, handle, function);
}

void check(SQLRETURN rc, const OdbcHandle &handle, const char *function) {
    check(rc, handle.type(), handle.get(), function);
}
