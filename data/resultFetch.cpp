#include "data/resultFetch.h"

#include <sqlext.h>

#include <chrono>
#include <memory>
#include <vector>

#include "data/odbcHandle.h"
#include "data/queryWatchdog.h"

namespace {

using Clock = std::chrono::steady_clock;

// Wide characters read per SQLGetData call; longer values arrive in several pieces.
constexpr qsizetype kPieceChars = 4096;

// Sets the driver's query time-out. Returns false when the driver does not keep the value
// (some accept it and read back 0), so that a watchdog has to enforce it.
bool DriverKeepsTimeout(const OdbcHandle &statement, int seconds) {
    const SQLRETURN rc = SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                                         reinterpret_cast<SQLPOINTER>(SQLULEN(seconds)), 0);
    if (!SQL_SUCCEEDED(rc)) {
        return false;
    }
    SQLULEN kept = 0;
    if (!SQL_SUCCEEDED(
            SQLGetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT, &kept, 0, nullptr))) {
        return false;
    }
    return kept == SQLULEN(seconds);
}

void DescribeColumns(const OdbcHandle &statement, SQLSMALLINT count, FetchedResult &result) {
    std::vector<SQLWCHAR> name(256);
    for (SQLUSMALLINT column = 1; column <= count; ++column) {
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        check(SQLDescribeColW(statement.get(), column, name.data(), SQLSMALLINT(name.size()),
                              &nameLength, &type, &size, &digits, &nullable),
              statement, "SQLDescribeColW");
        if (nameLength >= SQLSMALLINT(name.size())) {
            name.resize(size_t(nameLength) + 1);
            check(SQLDescribeColW(statement.get(), column, name.data(), SQLSMALLINT(name.size()),
                                  &nameLength, &type, &size, &digits, &nullable),
                  statement, "SQLDescribeColW");
        }
        result.names.append(FromSqlWChar(name.data(), nameLength));
        result.types.append(type);
    }
}

// Reads one value of the current row, in pieces, into the store.
void ReadCell(const OdbcHandle &statement, SQLUSMALLINT column, std::vector<SQLWCHAR> &buffer,
              CellStore &cells) {
    const SQLLEN bufferBytes = SQLLEN(buffer.size() * sizeof(SQLWCHAR));
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.get(), column, SQL_C_WCHAR, buffer.data(),
                                        bufferBytes, &indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        check(rc, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const bool truncated =
            indicator == SQL_NO_TOTAL || indicator > bufferBytes - SQLLEN(sizeof(SQLWCHAR));
        const qsizetype chars =
            truncated ? qsizetype(buffer.size()) - 1 : qsizetype(indicator / sizeof(SQLWCHAR));
        cells.appendPiece(reinterpret_cast<const char16_t *>(buffer.data()), chars);
        if (!truncated) {
            break;
        }
    }
    cells.endCell();
}

void FetchRows(const OdbcHandle &statement, FetchedResult &result) {
    std::vector<SQLWCHAR> buffer(kPieceChars);
    const SQLUSMALLINT columns = SQLUSMALLINT(result.names.size());
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.get());
        if (rc == SQL_NO_DATA) {
            return;
        }
        check(rc, statement, "SQLFetch");
        for (SQLUSMALLINT column = 1; column <= columns; ++column) {
            ReadCell(statement, column, buffer, result.cells);
        }
    }
}

std::optional<FetchedResult> ExecuteAndFetch(const OdbcHandle &statement, const QString &text) {
    check(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR *>(ToSqlWChar(text)),
                         SQLINTEGER(text.size())),
          statement, "SQLExecDirectW");
    for (;;) {
        SQLSMALLINT columns = 0;
        check(SQLNumResultCols(statement.get(), &columns), statement, "SQLNumResultCols");
        if (columns > 0) {
            FetchedResult result;
            DescribeColumns(statement, columns, result);
            result.cells = CellStore(columns);
            FetchRows(statement, result);
            return result;
        }
        const SQLRETURN rc = SQLMoreResults(statement.get());
        if (rc == SQL_NO_DATA) {
            return std::nullopt;
        }
        check(rc, statement, "SQLMoreResults");
    }
}

DatabaseFailure TimeoutFailure(DatabaseFailure failure) {
    failure.number = DatabaseFailureNumber::Timeout;
    failure.description = QStringLiteral("クエリがタイムアウトしました。\n") + failure.description;
    return failure;
}

}  // namespace

std::optional<FetchedResult> RunAndFetchFirstResult(SQLHDBC connection, const QString &text,
                                                    int timeoutSeconds) {
    OdbcHandle statement(SQL_HANDLE_STMT, connection);
    const auto limit = std::chrono::seconds(timeoutSeconds);
    std::unique_ptr<QueryWatchdog> watchdog;
    if (timeoutSeconds > 0 && !DriverKeepsTimeout(statement, timeoutSeconds)) {
        watchdog = std::make_unique<QueryWatchdog>(statement.get(), limit);
    }
    const auto started = Clock::now();
    try {
        auto result = ExecuteAndFetch(statement, text);
        watchdog.reset();
        return result;
    } catch (const DatabaseFailure &failure) {
        const bool fired = watchdog && watchdog->fired();
        watchdog.reset();
        // A statement that fails once its time is up was stopped by the time-out, whatever
        // words the driver chose for it.
        if (fired || (timeoutSeconds > 0 && Clock::now() - started >= limit)) {
            throw TimeoutFailure(failure);
        }
        throw;
    }
}
