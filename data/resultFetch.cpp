#include "data/resultFetch.h"

#include <sqlext.h>

#include <algorithm>
#include <vector>

#include "data/odbcHandle.h"
#include "data/statementCancel.h"

namespace {

using Call = StatementCancel::Call;

// Wide characters read per SQLGetData call; longer values arrive in several pieces.
constexpr qsizetype kPieceChars = 4096;

// The calls of one run on its statement, each made through the run's cancel.
class Fetch {
public:
    Fetch(SQLHDBC connection, StatementCancel &cancel)
        : statement_(SQL_HANDLE_STMT, connection), cancel_(cancel) {
        cancel_.Attach(connection, statement_.get());
    }
    ~Fetch() { cancel_.Detach(); }
    Fetch(const Fetch &) = delete;
    Fetch &operator=(const Fetch &) = delete;

    std::optional<FetchedResult> Run(const QString &text);

private:
    template <typename F>
    SQLRETURN call(Call kind, const char *function, F &&f) {
        const SQLRETURN rc = cancel_.Run(kind, std::forward<F>(f));
        check(rc, statement_, function);
        return rc;
    }
    void SetDriverTimeout();
    void DescribeColumns(SQLSMALLINT count, FetchedResult &result);
    void FetchRows(FetchedResult &result);
    void ReadCell(SQLUSMALLINT column, CellStore &cells);

    OdbcHandle statement_;
    StatementCancel &cancel_;
    std::vector<SQLWCHAR> piece_ = std::vector<SQLWCHAR>(kPieceChars);
};

// Gives the driver the limit as its own query time-out as well, rounded up to whole seconds.
// The run's clock ends the run; the driver's time-out bounds a call that no cancel can reach
// (psqlODBC applies it to every FETCH of a streamed result). Drivers that ignore it are fine.
void Fetch::SetDriverTimeout() {
    const auto limit = cancel_.limit();
    const SQLULEN seconds = limit.count() > 0 ? SQLULEN((limit.count() + 999) / 1000) : SQLULEN(0);
    SQLSetStmtAttrW(statement_.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds),
                    0);
}

void Fetch::DescribeColumns(SQLSMALLINT count, FetchedResult &result) {
    std::vector<SQLWCHAR> name(256);
    for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(count); ++column) {
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        const auto describe = [&] {
            return SQLDescribeColW(statement_.get(), column, name.data(), SQLSMALLINT(name.size()),
                                   &nameLength, &type, &size, &digits, &nullable);
        };
        call(Call::Quick, "SQLDescribeColW", describe);
        if (nameLength >= SQLSMALLINT(name.size())) {
            name.resize(size_t(nameLength) + 1);
            call(Call::Quick, "SQLDescribeColW", describe);
        }
        result.names.append(FromSqlWChar(name.data(), nameLength));
        result.types.append(type);
    }
}

// Reads one value of the current row, in pieces, into the store.
void Fetch::ReadCell(SQLUSMALLINT column, CellStore &cells) {
    const SQLLEN bufferBytes = SQLLEN(piece_.size() * sizeof(SQLWCHAR));
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = call(Call::Quick, "SQLGetData", [&] {
            return SQLGetData(statement_.get(), column, SQL_C_WCHAR, piece_.data(), bufferBytes,
                              &indicator);
        });
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const bool truncated =
            indicator == SQL_NO_TOTAL || indicator > bufferBytes - SQLLEN(sizeof(SQLWCHAR));
        const qsizetype chars =
            truncated ? qsizetype(piece_.size()) - 1 : qsizetype(indicator / sizeof(SQLWCHAR));
        cells.appendPiece(reinterpret_cast<const char16_t *>(piece_.data()), chars);
        if (!truncated) {
            break;
        }
    }
    cells.endCell();
}

void Fetch::FetchRows(FetchedResult &result) {
    const SQLUSMALLINT columns = SQLUSMALLINT(result.names.size());
    for (;;) {
        const SQLRETURN rc =
            call(Call::Interruptible, "SQLFetch", [&] { return SQLFetch(statement_.get()); });
        if (rc == SQL_NO_DATA) {
            return;
        }
        for (SQLUSMALLINT column = 1; column <= columns; ++column) {
            ReadCell(column, result.cells);
        }
    }
}

std::optional<FetchedResult> Fetch::Run(const QString &text) {
    SetDriverTimeout();
    call(Call::Interruptible, "SQLExecDirectW", [&] {
        return SQLExecDirectW(statement_.get(), const_cast<SQLWCHAR *>(ToSqlWChar(text)),
                              SQLINTEGER(text.size()));
    });
    for (;;) {
        SQLSMALLINT columns = 0;
        call(Call::Quick, "SQLNumResultCols",
             [&] { return SQLNumResultCols(statement_.get(), &columns); });
        if (columns > 0) {
            FetchedResult result;
            DescribeColumns(columns, result);
            result.cells = CellStore(columns);
            FetchRows(result);
            return result;
        }
        const SQLRETURN rc = call(Call::Interruptible, "SQLMoreResults",
                                  [&] { return SQLMoreResults(statement_.get()); });
        if (rc == SQL_NO_DATA) {
            return std::nullopt;
        }
    }
}

}  // namespace

std::optional<FetchedResult> RunAndFetchFirstResult(SQLHDBC connection, const QString &text,
                                                    StatementCancel &cancel) {
    try {
        Fetch fetch(connection, cancel);
        return fetch.Run(text);
    } catch (const DatabaseFailure &) {
        // A failure once the run was cancelled, or once its time was up, is that cancel's.
        cancel.ThrowIfCancelled();
        throw;
    }
}
