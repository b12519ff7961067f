#include "data/resultFetch.h"

#include <sqlext.h>

#include <algorithm>
#include <vector>

#include "data/odbcHandle.h"
#include "data/statementCancel.h"

namespace {

using Call = StatementCancel::Call;

// Wide characters read per SQLGetData call while a value's length is not known.
constexpr qsizetype kPieceChars = 4096;
// Bytes read per SQLGetData call of a binary value.
constexpr qsizetype kPieceBytes = 65536;
// The longest column name a buffer can take (its size is a signed 16-bit count).
constexpr qsizetype kLongestName = 0x7FFF - 1;

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
    QString ColumnName(SQLUSMALLINT column, SQLSMALLINT &type);
    void FetchRows(FetchedResult &result);
    void ReadCell(SQLUSMALLINT column, CellStore &cells);
    void ReadBytes(SQLUSMALLINT column, CellStore &cells);

    OdbcHandle statement_;
    StatementCancel &cancel_;
    std::vector<SQLWCHAR> piece_ = std::vector<SQLWCHAR>(kPieceChars);
    std::vector<SQLWCHAR> whole_;  // the rest of a long value whose length the driver told
    std::vector<char> bytes_ = std::vector<char>(kPieceBytes);
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

// A column's name at its whole length. The length that SQLDescribeColW reports for a name is
// in characters on most drivers but in UTF-8 bytes on the SQLite3 driver, which also cuts a
// name silently at the buffer's size; asked without a buffer, every driver reports at least
// the number of characters, so the buffer is sized from that and the name ends at its NUL.
QString Fetch::ColumnName(SQLUSMALLINT column, SQLSMALLINT &type) {
    SQLSMALLINT reported = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    call(Call::Quick, "SQLDescribeColW", [&] {
        return SQLDescribeColW(statement_.get(), column, nullptr, 0, &reported, &type, &size,
                               &digits, &nullable);
    });
    std::vector<SQLWCHAR> name(size_t(std::max<SQLSMALLINT>(reported, 255)) + 1);
    for (;;) {
        SQLSMALLINT length = 0;
        call(Call::Quick, "SQLDescribeColW", [&] {
            return SQLDescribeColW(statement_.get(), column, name.data(), SQLSMALLINT(name.size()),
                                   &length, &type, &size, &digits, &nullable);
        });
        const qsizetype room = qsizetype(name.size()) - 1;
        if (length > room && room < kLongestName) {
            name.assign(size_t(std::min<qsizetype>(length, kLongestName)) + 1, 0);
            continue;
        }
        const auto end = name.begin() + std::min<qsizetype>(length, room);
        return FromSqlWChar(name.data(), std::find(name.begin(), end, SQLWCHAR(0)) - name.begin());
    }
}

void Fetch::DescribeColumns(SQLSMALLINT count, FetchedResult &result) {
    for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(count); ++column) {
        SQLSMALLINT type = 0;
        result.names.append(ColumnName(column, type));
        result.types.append(type);
    }
}

// Reads one value of the current row into the store: in pieces while its length is unknown,
// and the rest in one read once the driver has told the whole length.
void Fetch::ReadCell(SQLUSMALLINT column, CellStore &cells) {
    std::vector<SQLWCHAR> *buffer = &piece_;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = call(Call::Quick, "SQLGetData", [&] {
            return SQLGetData(statement_.get(), column, SQL_C_WCHAR, buffer->data(),
                              SQLLEN(buffer->size() * sizeof(SQLWCHAR)), &indicator);
        });
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const qsizetype room = qsizetype(buffer->size()) - 1;
        const bool known = indicator != SQL_NO_TOTAL;
        const qsizetype total = known ? qsizetype(indicator / SQLLEN(sizeof(SQLWCHAR))) : 0;
        const bool truncated = !known || total > room;
        const qsizetype chars = truncated ? room : total;
        cells.appendPiece(reinterpret_cast<const char16_t *>(buffer->data()), chars);
        if (!truncated) {
            break;
        }
        if (known) {
            const qsizetype rest = total - chars;
            cells.reserve(rest);
            whole_.resize(size_t(rest) + 1);
            buffer = &whole_;
        }
    }
    cells.endCell();
    if (whole_.size() > size_t(kPieceChars)) {
        std::vector<SQLWCHAR>().swap(whole_);  // a long value's buffer is not kept
    }
}

// Reads one binary value as bytes and stores them as two lowercase hex digits a byte, the text
// that ODBC defines for binary data. Asked for text, the drivers do not agree: the SQLite3
// driver writes a SQL literal (X'00FF10'), and MariaDB's decodes the bytes as UTF-8, which
// loses them or fails the fetch. So every driver's bytes are read as bytes.
void Fetch::ReadBytes(SQLUSMALLINT column, CellStore &cells) {
    for (bool first = true;; first = false) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = call(Call::Quick, "SQLGetData", [&] {
            return SQLGetData(statement_.get(), column, SQL_C_BINARY, bytes_.data(),
                              SQLLEN(bytes_.size()), &indicator);
        });
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const bool known = indicator != SQL_NO_TOTAL;
        const bool whole = known && indicator <= SQLLEN(bytes_.size());
        if (first && known) {
            cells.reserve(2 * qsizetype(indicator));
        }
        const qsizetype size = whole ? qsizetype(indicator) : qsizetype(bytes_.size());
        const QString hex =
            QString::fromLatin1(QByteArray::fromRawData(bytes_.data(), size).toHex());
        cells.appendPiece(reinterpret_cast<const char16_t *>(hex.utf16()), hex.size());
        if (whole) {
            break;
        }
    }
    cells.endCell();
}

bool IsBinary(int type) {
    return type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
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
            if (IsBinary(result.types.at(column - 1))) {
                ReadBytes(column, result.cells);
            } else {
                ReadCell(column, result.cells);
            }
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
