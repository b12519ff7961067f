// Fetching a large result: a bare ODBC loop (SQLFetch + SQLGetData as wide text, the floor)
// against Recordset::Open with a walk over every value, on SQLite and on PostgreSQL: once as a
// program reads values (MoveNext, Value: a copy of each), once as the grid paints them
// (CellText: a view of the held text, no copy). Then the time until the streamed fetch hands
// the first rows to its caller, which is when a window can show them. Then one
// long value of 8,000,000 characters: the driver's own time to hand it over (two SQLGetData
// calls: one that tells the length, one for the rest) against Recordset::Open.
//
//   build/bench/fetch_bench                       SQLite on a temporary file only
//   TESSORY_BENCH_PG='DSN=...;UID=...;PWD=...;'   also PostgreSQL through that connection string
//   TESSORY_BENCH_ROWS=200000                     fewer rows (default 1,000,000)
//   TESSORY_BENCH_PAIRS=9                         more pairs of runs (default 5)
//
// With the test cluster of tests/data/postgres-fixture.sh:
//   tests/data/postgres-fixture.sh start $PWD/build/pg-fixture
//   export ODBCSYSINI=$PWD/build/pg-fixture ODBCINI=$PWD/build/pg-fixture/odbc.ini
//   TESSORY_BENCH_PG='DSN=TessoryPostgresStream;UID=tessory;PWD=tessory;' build/bench/fetch_bench
//   tests/data/postgres-fixture.sh stop $PWD/build/pg-fixture
//
// The sources are set to stream (SQLite3 driver StepAPI=1; psqlODBC UseDeclareFetch=1 with
// Fetch=10000, as TessoryPostgresStream has), so that the memory measured is the recordset's.
// Times are processor times, in pairs (see Measure). Peak memory is the process's peak resident
// set during one recordset run (reset through
// /proc/self/clear_refs), against the UTF-16 size of the result's text.

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <malloc.h>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define TESSORY_CALLGRIND 1
#endif

#include "data/command.h"
#include "data/connection.h"
#include "data/odbcHandle.h"
#include "data/recordset.h"
#include "data/resultFetch.h"
#include "data/resultSink.h"
#include "data/statementCancel.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// This process's processor time in seconds: steadier than the clock on a busy machine, but
// blind to the time a server spends.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

long ProcStatusKb(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::atol(line.c_str() + key.size());
        }
    }
    return -1;
}

void ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

void Run(Connection &connection, const QString &sql) {
    Recordset rs;
    rs.Open(sql, connection);
}

struct Floor {
    double seconds = 0;
    double cpuSeconds = 0;
    qint64 rows = 0;
    qint64 chars = 0;  // UTF-16 code units of all values
};

// A new statement on the connection with the SQL text executed.
OdbcHandle Execute(Connection &connection, const QString &sql) {
    OdbcHandle statement(SQL_HANDLE_STMT, connection.handle());
    check(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR *>(ToSqlWChar(sql)),
                         SQLINTEGER(sql.size())),
          statement, "SQLExecDirectW");
    return statement;
}

// The bare loop: one wide SQLGetData per value into one buffer, nothing kept.
Floor BareLoop(Connection &connection, const QString &sql) {
    Floor floor;
    const auto started = Clock::now();
    const double cpuStarted = CpuSeconds();
    OdbcHandle statement = Execute(connection, sql);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement.get(), &columns);
    std::vector<SQLWCHAR> buffer(4096);
    while (SQLFetch(statement.get()) == SQL_SUCCESS) {
        ++floor.rows;
        for (SQLUSMALLINT column = 1; column <= columns; ++column) {
            SQLLEN indicator = 0;
            check(SQLGetData(statement.get(), column, SQL_C_WCHAR, buffer.data(),
                             SQLLEN(buffer.size() * sizeof(SQLWCHAR)), &indicator),
                  statement, "SQLGetData");
            if (indicator > 0) {
                floor.chars += indicator / SQLLEN(sizeof(SQLWCHAR));
            }
        }
    }
    floor.seconds = Seconds(started);
    floor.cpuSeconds = CpuSeconds() - cpuStarted;
    return floor;
}

// Notes when the first rows arrive and drops every row.
class FirstRowsSink : public ResultSink {
public:
    explicit FirstRowsSink(Clock::time_point started) : started_(started) {}
    void Columns(const QStringList &, const QList<int> &) override {}
    void Rows(CellStore rows) override {
        if (firstRows < 0) {
            firstRows = Seconds(started_);
        }
        ++segments;
        this->rows += rows.rowCount();
    }

    double firstRows = -1;
    int segments = 0;
    qint64 rows = 0;

private:
    Clock::time_point started_;
};

// A recordset opened and walked: every value copied out as a program reads them (MoveNext,
// Value), or every cell viewed as the grid paints them (CellText), or not walked at all.
// Returns processor seconds.
enum class Walk { None, Values, CellTexts };

double OpenAndWalk(Connection &connection, const QString &sql, Walk walk, qint64 &chars) {
    const double cpuStarted = CpuSeconds();
    Recordset rs;
    rs.Open(sql, connection);
    const int fields = rs.FieldCount();
    if (walk == Walk::Values) {
        while (!rs.Eof()) {
            for (int field = 0; field < fields; ++field) {
                chars += rs.Value(field).size();
            }
            rs.MoveNext();
        }
    } else if (walk == Walk::CellTexts) {
        const qsizetype rows = rs.RecordCount();
        for (qsizetype row = 0; row < rows; ++row) {
            for (int field = 0; field < fields; ++field) {
                chars += rs.CellText(row, field).size();
            }
        }
    }
    return CpuSeconds() - cpuStarted;
}

// The median of a set of figures, with the lowest and the highest.
struct Spread {
    double median, low, high;
};

Spread Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// The driver's own time to its first row: execute and one SQLFetch.
double BareFirstRow(Connection &connection, const QString &sql) {
    const auto started = Clock::now();
    OdbcHandle statement = Execute(connection, sql);
    check(SQLFetch(statement.get()), statement, "SQLFetch");
    return Seconds(started);
}

// In the table's own order: a sort would make every source wait for the whole result.
void MeasureFirstRows(Connection &connection, const QString &sql) {
    const double floor = BareFirstRow(connection, sql);
    const auto started = Clock::now();
    FirstRowsSink sink(started);
    StatementCancel cancel;
    RunAndStreamFirstResult(connection.handle(), sql, cancel, sink);
    std::printf(
        "  (e) first rows handed over    %.1f ms (target < 30 ms; driver's first row %.1f "
        "ms); whole fetch %.2f s, %lld rows in %d segments\n",
        sink.firstRows * 1000, floor * 1000, Seconds(started), (long long)sink.rows, sink.segments);
}

// The peak memory of one recordset run, against the UTF-16 size of the text it holds.
void MeasureMemory(Connection &connection, const QString &sql, qint64 chars) {
    malloc_trim(0);  // what an earlier run freed is not counted as this one's
    const long baselineKb = ProcStatusKb("VmRSS");
    ResetPeakMemory();
    qint64 walked = 0;
    OpenAndWalk(connection, sql, Walk::CellTexts, walked);
    const long peakKb = ProcStatusKb("VmHWM");
    const double textMb = double(chars) * 2 / 1e6;
    const double peakMb = double(peakKb - baselineKb) * 1024 / 1e6;
    std::printf("  peak memory of a recordset    %.1f MB above a baseline of %.1f MB\n", peakMb,
                double(baselineKb) * 1024 / 1e6);
    std::printf("  peak / text                   %.2f   (target <= 1.30)\n", peakMb / textMb);
}

bool UnderCallgrind() {
#ifdef TESSORY_CALLGRIND
    return RUNNING_ON_VALGRIND != 0;
#else
    return false;
#endif
}

// Under callgrind (bench/fetch-instructions.sh): the instructions of one run of each way, each
// dumped under its own name; unlike time, they do not move with the load of the machine.
void CountInstructions(const char *name, Connection &connection, const QString &sql) {
#ifdef TESSORY_CALLGRIND
    const auto dump = [name](const char *way) {
        CALLGRIND_DUMP_STATS_AT(qPrintable(QStringLiteral("%1 %2").arg(name, way)));
    };
    BareLoop(connection, sql);  // warm the caches once
    qint64 chars = 0;
    CALLGRIND_ZERO_STATS;
    BareLoop(connection, sql);
    dump("(a) bare ODBC loop");
    OpenAndWalk(connection, sql, Walk::None, chars);
    dump("(o) Open alone");
    OpenAndWalk(connection, sql, Walk::Values, chars);
    dump("(b) Open + Value walk");
    OpenAndWalk(connection, sql, Walk::CellTexts, chars);
    dump("(b') Open + CellText walk");
#else
    (void)name;
    (void)connection;
    (void)sql;
#endif
}

// Pairs of runs, each the bare loop then the recordset walked both ways, all in processor
// time: the ratios are taken per pair, so that a slower moment of the machine weighs on both
// sides, and their medians are reported.
void Measure(const char *name, Connection &connection, const QString &sql, int pairs) {
    if (UnderCallgrind()) {
        CountInstructions(name, connection, sql);
        return;
    }
    BareLoop(connection, sql);  // warm the caches once
    std::vector<double> bare, opened, copied, viewed, openedRatio, copiedRatio, viewedRatio;
    Floor floor;
    for (int pair = 0; pair < pairs; ++pair) {
        floor = BareLoop(connection, sql);
        qint64 openedChars = 0, copiedChars = 0, viewedChars = 0;
        opened.push_back(OpenAndWalk(connection, sql, Walk::None, openedChars));
        copied.push_back(OpenAndWalk(connection, sql, Walk::Values, copiedChars));
        viewed.push_back(OpenAndWalk(connection, sql, Walk::CellTexts, viewedChars));
        bare.push_back(floor.cpuSeconds);
        openedRatio.push_back(opened.back() / floor.cpuSeconds);
        copiedRatio.push_back(copied.back() / floor.cpuSeconds);
        viewedRatio.push_back(viewed.back() / floor.cpuSeconds);
        if (copiedChars != floor.chars || viewedChars != floor.chars) {
            std::printf("  MISMATCH: walked %lld and %lld characters, the loop read %lld\n",
                        (long long)copiedChars, (long long)viewedChars, (long long)floor.chars);
        }
    }
    const auto ratioLine = [](const char *way, const std::vector<double> &seconds,
                              const std::vector<double> &ratios, const char *target) {
        const Spread ratio = Summarise(ratios);
        std::printf("  %-30s %.2f s, ratio to (a) %.2f (%.2f-%.2f)%s\n", way,
                    Summarise(seconds).median, ratio.median, ratio.low, ratio.high, target);
    };
    std::printf("%s: %lld rows, UTF-16 text %.1f MB; processor time, median of %d pairs\n", name,
                (long long)floor.rows, double(floor.chars) * 2 / 1e6, pairs);
    std::printf("  (a) bare ODBC loop             %.2f s\n", Summarise(bare).median);
    ratioLine("(o) Open alone", opened, openedRatio, "");
    ratioLine("(b) Open + Value walk", copied, copiedRatio, "   (target <= 1.00)");
    ratioLine("(b') Open + CellText walk", viewed, viewedRatio, "   (target <= 1.00)");
    MeasureMemory(connection, sql, floor.chars);
    MeasureFirstRows(connection, QStringLiteral("SELECT id, name, amount, stamp, note FROM bench"));
}

// The driver's own time for one long value: execute, fetch, and read it in two calls.
double BareLongValue(Connection &connection, const QString &sql, qint64 &chars) {
    const auto started = Clock::now();
    OdbcHandle statement = Execute(connection, sql);
    check(SQLFetch(statement.get()), statement, "SQLFetch");
    std::vector<SQLWCHAR> buffer(4096);
    SQLLEN indicator = 0;
    check(SQLGetData(statement.get(), 1, SQL_C_WCHAR, buffer.data(),
                     SQLLEN(buffer.size() * sizeof(SQLWCHAR)), &indicator),
          statement, "SQLGetData");
    chars = indicator / SQLLEN(sizeof(SQLWCHAR));
    buffer.resize(size_t(chars) + 1);
    check(SQLGetData(statement.get(), 1, SQL_C_WCHAR, buffer.data(),
                     SQLLEN(buffer.size() * sizeof(SQLWCHAR)), &indicator),
          statement, "SQLGetData");
    return Seconds(started);
}

void MeasureLongValue(const char *name, Connection &connection, const char *fill) {
    Run(connection, QStringLiteral("DROP TABLE IF EXISTS benchlong"));
    Run(connection, QStringLiteral("CREATE TABLE benchlong (body text)"));
    Run(connection, QString::fromUtf8(fill));
    const QString sql = QStringLiteral("SELECT body FROM benchlong");
    qint64 chars = 0;
    BareLongValue(connection, sql, chars);  // warm the caches once
    const double floor = BareLongValue(connection, sql, chars);
    Command command;
    command.setActiveConnection(&connection);
    command.setCommandText(sql);
    command.setCommandTimeout(0);
    const auto started = Clock::now();
    Recordset rs;
    rs.Open(command);
    const double total = Seconds(started);
    std::printf("%s: one value of %lld characters\n", name, (long long)chars);
    std::printf("  (c) driver's own time          %.2f s\n", floor);
    std::printf("  (d) Recordset Open             %.2f s   (target: well under 1 s + (c))\n",
                total);
    if (rs.CellText(0, 0).size() != chars) {
        std::printf("  MISMATCH: the recordset holds %lld characters\n",
                    (long long)rs.CellText(0, 0).size());
    }
    Run(connection, QStringLiteral("DROP TABLE benchlong"));
}

// integer, text of about 20 characters (some Japanese), real, date-time, nullable text
// (about 10% NULL).
const char *kSqliteFill =
    "INSERT INTO bench "
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
    "SELECT x, CASE WHEN x % 3 = 0 THEN '受注データ行' || printf('%08d', x) || '番目です' "
    "ELSE 'order line ' || printf('%09d', x) END, x * 1.25 / 7, "
    "datetime(1700000000 + x, 'unixepoch'), "
    "CASE WHEN x % 10 = 0 THEN NULL ELSE 'note ' || printf('%05d', x % 100000) END FROM c";

const char *kPostgresFill =
    "INSERT INTO bench "
    "SELECT x, CASE WHEN x % 3 = 0 THEN '受注データ行' || lpad(x::text, 8, '0') || '番目です' "
    "ELSE 'order line ' || lpad(x::text, 9, '0') END, x * 1.25 / 7, "
    "to_timestamp(1700000000 + x)::timestamp(0), "
    "CASE WHEN x % 10 = 0 THEN NULL ELSE 'note ' || lpad((x % 100000)::text, 5, '0') END "
    "FROM generate_series(1, %1) AS x";

void Bench(const char *name, const QString &connectionString, const char *create, const char *fill,
           qint64 rows, int pairs, const char *fillLong) {
    try {
        Connection connection;
        connection.setConnectionString(connectionString);
        connection.Open();
        Run(connection, QStringLiteral("DROP TABLE IF EXISTS bench"));
        Run(connection, QString::fromUtf8(create));
        const auto filling = Clock::now();
        Run(connection, QString::fromUtf8(fill).arg(rows));
        std::printf("%s: filled %lld rows in %.1f s\n", name, (long long)rows, Seconds(filling));
        Measure(name, connection,
                QStringLiteral("SELECT id, name, amount, stamp, note FROM bench ORDER BY id"),
                pairs);
        Run(connection, QStringLiteral("DROP TABLE bench"));
        if (!UnderCallgrind()) {
            MeasureLongValue(name, connection, fillLong);
        }
    } catch (const Failure &failure) {
        std::printf("%s: failed: %s\n", name, qPrintable(failure.description));
    }
}

}  // namespace

int main(int argc, char *argv[]) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    QCoreApplication app(argc, argv);
    const qint64 rows = qEnvironmentVariableIsSet("TESSORY_BENCH_ROWS")
                            ? qEnvironmentVariableIntValue("TESSORY_BENCH_ROWS")
                            : 1'000'000;
    const int pairs = qEnvironmentVariableIsSet("TESSORY_BENCH_PAIRS")
                          ? std::max(1, qEnvironmentVariableIntValue("TESSORY_BENCH_PAIRS"))
                          : 5;
    QTemporaryDir folder;
    Bench("SQLite",
          QStringLiteral("Driver=%1;Database=%2/bench.sqlite;StepAPI=1;")
              .arg(QStringLiteral(TESSORY_SQLITE3_ODBC), folder.path()),
          "CREATE TABLE bench (id integer, name text, amount real, stamp text, note text)",
          kSqliteFill, rows, pairs,
          "INSERT INTO benchlong SELECT replace(hex(zeroblob(4000000)), '00', 'あa')");
    const QString postgres = qEnvironmentVariable("TESSORY_BENCH_PG");
    if (postgres.isEmpty()) {
        std::printf("PostgreSQL: skipped (set TESSORY_BENCH_PG to a connection string)\n");
    } else {
        Bench("PostgreSQL", postgres,
              "CREATE UNLOGGED TABLE bench (id integer, name varchar(40), amount double precision, "
              "stamp timestamp, note varchar(20))",
              kPostgresFill, rows, pairs, "INSERT INTO benchlong SELECT repeat('あa', 4000000)");
    }
    return 0;
}
