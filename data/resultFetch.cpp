#include "data/resultFetch.h"

#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "data/driverName.h"
#include "data/fetchPlan.h"
#include "data/odbcHandle.h"
#include "data/resultSink.h"
#include "data/statementCancel.h"
#include "data/valueReader.h"

namespace {

using Call = StatementCancel::Call;

// Marks of a block's row count and row statuses that the driver has not written.
constexpr SQLULEN kUnreported = ~SQLULEN(0);
constexpr SQLUSMALLINT kUnreportedRow = 0xFFFF;
// The longest column name a buffer can take (its size is a signed 16-bit count).
constexpr qsizetype kLongestName = 0x7FFF - 1;
// Rows gathered after the first ones are handed over once this much time has passed since the
// last hand-over; the clock is read once a block, or once this many rows when they come one at
// a time, never once a row.
constexpr auto kHandOverEvery = std::chrono::milliseconds(200);
constexpr SQLULEN kRowsPerClockRead = 256;

// The calls of one run on its statement, each made through the run's cancel.
class Fetch {
public:
    Fetch(SQLHDBC connection, StatementCancel &cancel, ResultSink &sink)
        : connection_(connection),
          statement_(SQL_HANDLE_STMT, connection),
          cancel_(cancel),
          sink_(sink) {
        cancel_.Attach(connection, statement_.get());
    }
    ~Fetch() { cancel_.Detach(); }
    Fetch(const Fetch &) = delete;
    Fetch &operator=(const Fetch &) = delete;

    StreamOutcome Run(const QString &text);

private:
    template <typename F>
    SQLRETURN call(Call kind, const char *function, F &&f) {
        const SQLRETURN rc = cancel_.Run(kind, std::forward<F>(f));
        check(rc, statement_, function);
        return rc;
    }
    void SetDriverTimeout();
    void DescribeColumns(SQLSMALLINT count, QStringList &names, std::vector<SQLULEN> &sizes);
    QString ColumnName(SQLUSMALLINT column, SQLSMALLINT &type, SQLULEN &size);
    FetchPlan Plan(const std::vector<SQLULEN> &sizes);
    bool SetRowArray(const FetchPlan &plan);
    bool Bind(FetchPlan &plan);
    void OneRowAtATime();
    void FetchRows(const std::vector<SQLULEN> &sizes);
    SQLULEN RowsFetched() const;
    void StoreRow(SQLULEN row);
    void HandOver();
    qint64 RowCount();

    SQLHDBC connection_;
    OdbcHandle statement_;
    StatementCancel &cancel_;
    ResultSink &sink_;
    ValueReader values_{statement_, cancel_};
    // The result's column types, and its rows fetched since the last hand-over.
    QList<int> types_;
    CellStore cells_;
    bool handedOver_ = false;  // the first rows went to the sink
    std::chrono::steady_clock::time_point lastHandOver_;
    // The bound buffers of the run: per column its text, `plan_.width` characters a row, and
    // its length/indicator a row.
    FetchPlan plan_;
    std::vector<std::vector<SQLWCHAR>> bound_;
    std::vector<std::vector<char>> boundBytes_;  // instead, when the plan reads UTF-8
    std::vector<std::vector<SQLLEN>> indicators_;
    std::vector<SQLUSMALLINT> rowStatus_;
    SQLULEN rowsFetched_ = 0;
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
QString Fetch::ColumnName(SQLUSMALLINT column, SQLSMALLINT &type, SQLULEN &size) {
    SQLSMALLINT reported = 0, digits = 0, nullable = 0;
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

void Fetch::DescribeColumns(SQLSMALLINT count, QStringList &names, std::vector<SQLULEN> &sizes) {
    for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(count); ++column) {
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        names.append(ColumnName(column, type, size));
        types_.append(type);
        sizes.push_back(size);
    }
}

FetchPlan Fetch::Plan(const std::vector<SQLULEN> &sizes) {
    SQLUINTEGER extensions = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection_, SQL_GETDATA_EXTENSIONS, &extensions,
                                   sizeof(extensions), nullptr))) {
        extensions = 0;  // nothing is bound: rows come one at a time, every value read alone
    }
    const QString driver = DriverName(connection_);
    // The SQLite3 driver holds text as UTF-8 and hands it over as such for SQL_C_CHAR; its own
    // conversion to wide text costs more than decoding the bytes here.
    if (driver.contains(QLatin1String("sqlite3odbc"), Qt::CaseInsensitive)) {
        return PlanUtf8Fetch(types_, sizes, extensions & ~SQLUINTEGER(SQL_GD_BLOCK));
    }
    // The MariaDB driver reads past the end of its own conversion buffer (AddressSanitizer:
    // strlen in SQLFetch) when a value does not fit the wide buffer bound to it: nothing is bound
    // there, every value is read with SQLGetData.
    if (driver.contains(QLatin1String("maodbc"), Qt::CaseInsensitive)) {
        extensions = 0;
    }
    // Reading a value again inside a block (SQLSetPos, then SQLGetData) is measured right only
    // on psqlODBC; other drivers get rows one at a time.
    if (!driver.contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive)) {
        extensions &= ~SQLUINTEGER(SQL_GD_BLOCK);
    }
    return PlanFetch(types_, sizes, extensions);
}

// Asks for blocks of the plan's rows, bound by column. A driver that refuses, or that changes
// the size, gets rows one at a time.
bool Fetch::SetRowArray(const FetchPlan &plan) {
    SQLHSTMT statement = statement_.get();
    rowStatus_.assign(plan.rows, SQL_ROW_SUCCESS);
    SQLULEN size = 0;
    return SQL_SUCCEEDED(SQLSetStmtAttrW(statement, SQL_ATTR_ROW_BIND_TYPE,
                                         reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) &&
           SQL_SUCCEEDED(SQLSetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE,
                                         reinterpret_cast<SQLPOINTER>(plan.rows), 0)) &&
           SQL_SUCCEEDED(SQLGetStmtAttrW(statement, SQL_ATTR_ROW_ARRAY_SIZE, &size, 0, nullptr)) &&
           size == plan.rows &&
           SQL_SUCCEEDED(SQLSetStmtAttrW(statement, SQL_ATTR_ROWS_FETCHED_PTR, &rowsFetched_, 0)) &&
           SQL_SUCCEEDED(SQLSetStmtAttrW(statement, SQL_ATTR_ROW_STATUS_PTR, rowStatus_.data(), 0));
}

void Fetch::OneRowAtATime() {
    SQLSetStmtAttrW(statement_.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
    SQLSetStmtAttrW(statement_.get(), SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    SQLSetStmtAttrW(statement_.get(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
}

// Binds the plan's columns. A driver that refuses an array or a binding gets nothing bound and
// rows one at a time, every value read with SQLGetData.
bool Fetch::Bind(FetchPlan &plan) {
    if (plan.rows > 1 && !SetRowArray(plan)) {
        OneRowAtATime();
        plan.rows = 1;
    }
    const size_t columns = plan.width.size();
    bound_.assign(columns, {});
    boundBytes_.assign(columns, {});
    indicators_.assign(columns, {});
    for (size_t column = 0; column < columns; ++column) {
        const SQLLEN width = plan.width[column];
        if (width == 0) {
            continue;
        }
        indicators_[column].resize(plan.rows);
        SQLPOINTER buffer = nullptr;
        if (plan.utf8) {
            boundBytes_[column].resize(size_t(width) * plan.rows);
            buffer = boundBytes_[column].data();
        } else {
            bound_[column].resize(size_t(width) * plan.rows);
            buffer = bound_[column].data();
        }
        const SQLLEN unit = plan.utf8 ? 1 : SQLLEN(sizeof(SQLWCHAR));
        if (!SQL_SUCCEEDED(SQLBindCol(statement_.get(), SQLUSMALLINT(column + 1),
                                      plan.utf8 ? SQL_C_CHAR : SQL_C_WCHAR, buffer, width * unit,
                                      indicators_[column].data()))) {
            SQLFreeStmt(statement_.get(), SQL_UNBIND);
            OneRowAtATime();
            return false;
        }
    }
    return true;
}

// Stores one row of the block. A bound value comes from its buffer; a value that did not fit
// there, and a column that is not bound, is read with SQLGetData, once the row of a block is
// made the current one (a fetch leaves the first row of its block current).
void Fetch::StoreRow(SQLULEN row) {
    bool positioned = row == 0;
    const size_t columns = plan_.width.size();
    for (size_t column = 0; column < columns; ++column) {
        const SQLLEN width = plan_.width[column];
        if (width > 0) {
            const SQLLEN indicator = indicators_[column][row];
            if (indicator == SQL_NULL_DATA) {
                cells_.appendNull();
                continue;
            }
            if (plan_.utf8 && indicator != SQL_NO_TOTAL && indicator >= 0 && indicator < width) {
                cells_.appendUtf8(boundBytes_[column].data() + qsizetype(row) * qsizetype(width),
                                  qsizetype(indicator));
                cells_.endCell();
                continue;
            }
            if (!plan_.utf8 && indicator != SQL_NO_TOTAL && indicator >= 0 &&
                indicator / SQLLEN(sizeof(SQLWCHAR)) < width) {
                cells_.appendPiece(reinterpret_cast<const char16_t *>(bound_[column].data()) +
                                       qsizetype(row) * qsizetype(width),
                                   qsizetype(indicator / SQLLEN(sizeof(SQLWCHAR))));
                cells_.endCell();
                continue;
            }
        }
        if (!positioned) {
            call(Call::Quick, "SQLSetPos", [&] {
                return SQLSetPos(statement_.get(), SQLSETPOSIROW(row + 1), SQL_POSITION,
                                 SQL_LOCK_NO_CHANGE);
            });
            positioned = true;
        }
        const auto number = SQLUSMALLINT(column + 1);
        if (IsBinaryType(types_.at(qsizetype(column)))) {
            values_.ReadBytes(number, cells_);
        } else if (plan_.utf8) {
            values_.ReadUtf8(number, cells_);
        } else {
            values_.ReadWide(number, cells_);
        }
    }
}

// The rows that a block fetch brought: as the driver reported them, or where it did not, as its
// row status array shows them. A block with neither is a failure rather than a guess.
SQLULEN Fetch::RowsFetched() const {
    if (rowsFetched_ != kUnreported && rowsFetched_ >= 1 && rowsFetched_ <= plan_.rows) {
        return rowsFetched_;
    }
    const auto end = std::find_if(rowStatus_.begin(), rowStatus_.end(), [](SQLUSMALLINT status) {
        return status == kUnreportedRow || status == SQL_ROW_NOROW;
    });
    const auto rows = SQLULEN(end - rowStatus_.begin());
    if (rows == 0) {
        DatabaseFailure failure;
        failure.number = DatabaseFailureNumber::Provider;
        failure.description =
            QStringLiteral("SQLFetch: the driver did not report the rows of a block of %1")
                .arg(plan_.rows);
        throw failure;
    }
    return rows;
}

// Seals the rows gathered since the last hand-over, without the arena's spare room, and gives
// them to the sink.
void Fetch::HandOver() {
    if (cells_.rowCount() > 0) {
        cells_.squeeze();
        sink_.Rows(std::exchange(cells_, CellStore(int(types_.size()))));
    }
    handedOver_ = true;
    lastHandOver_ = std::chrono::steady_clock::now();
}

void Fetch::FetchRows(const std::vector<SQLULEN> &sizes) {
    plan_ = Plan(sizes);
    if (plan_.bindsAny() && !Bind(plan_)) {
        plan_ = FetchPlan{1, std::vector<SQLLEN>(plan_.width.size(), 0)};
    }
    for (;;) {
        rowsFetched_ = kUnreported;
        std::fill(rowStatus_.begin(), rowStatus_.end(), kUnreportedRow);
        const SQLRETURN rc =
            call(Call::Interruptible, "SQLFetch", [&] { return SQLFetch(statement_.get()); });
        if (rc == SQL_NO_DATA) {
            HandOver();
            return;
        }
        const SQLULEN rows = plan_.rows > 1 ? RowsFetched() : 1;
        for (SQLULEN row = 0; row < rows; ++row) {
            if (plan_.rows > 1 && rowStatus_[row] == SQL_ROW_ERROR) {
                check(SQL_ERROR, statement_, "SQLFetch");  // the row's own diagnostics
            }
            StoreRow(row);
        }
        // The first rows go at once, so that a result that streams shows them while the rest
        // is still coming; later ones a few times a second.
        if (!handedOver_) {
            HandOver();
        } else if ((plan_.rows > 1 || SQLULEN(cells_.rowCount()) % kRowsPerClockRead == 0) &&
                   std::chrono::steady_clock::now() - lastHandOver_ >= kHandOverEvery) {
            HandOver();
        }
    }
}

// The rows that the current result changed; -1 when the driver does not know.
qint64 Fetch::RowCount() {
    SQLLEN count = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(statement_.get(), &count))) {
        return -1;
    }
    return qint64(count);
}

StreamOutcome Fetch::Run(const QString &text) {
    SetDriverTimeout();
    call(Call::Interruptible, "SQLExecDirectW", [&] {
        return SQLExecDirectW(statement_.get(), const_cast<SQLWCHAR *>(ToSqlWChar(text)),
                              SQLINTEGER(text.size()));
    });
    StreamOutcome outcome;
    for (;;) {
        SQLSMALLINT columns = 0;
        call(Call::Quick, "SQLNumResultCols",
             [&] { return SQLNumResultCols(statement_.get(), &columns); });
        if (columns > 0) {
            QStringList names;
            std::vector<SQLULEN> sizes;
            DescribeColumns(columns, names, sizes);
            sink_.Columns(names, types_);
            cells_ = CellStore(columns);
            FetchRows(sizes);
            outcome.hasResult = true;
            outcome.rowsAffected = -1;
            return outcome;
        }
        outcome.rowsAffected = RowCount();
        const SQLRETURN rc = call(Call::Interruptible, "SQLMoreResults",
                                  [&] { return SQLMoreResults(statement_.get()); });
        if (rc == SQL_NO_DATA) {
            return outcome;
        }
    }
}

// Gathers the streamed result whole.
class CollectingSink : public ResultSink {
public:
    void Columns(const QStringList &names, const QList<int> &types) override {
        result.names = names;
        result.types = types;
        result.rows = ResultRows(int(names.size()));
    }
    void Rows(CellStore rows) override { result.rows.append(std::move(rows)); }

    FetchedResult result;
};

}  // namespace

StreamOutcome RunAndStreamFirstResult(SQLHDBC connection, const QString &text,
                                      StatementCancel &cancel, ResultSink &sink) {
    try {
        Fetch fetch(connection, cancel, sink);
        return fetch.Run(text);
    } catch (const DatabaseFailure &) {
        // A failure once the run was cancelled, or once its time was up, is that cancel's.
        cancel.ThrowIfCancelled();
        throw;
    }
}

std::optional<FetchedResult> RunAndFetchFirstResult(SQLHDBC connection, const QString &text,
                                                    StatementCancel &cancel) {
    CollectingSink sink;
    if (!RunAndStreamFirstResult(connection, text, cancel, sink).hasResult) {
        return std::nullopt;
    }
    return std::move(sink.result);
}
