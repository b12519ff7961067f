#include <QStringList>

#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "data/basConnect.h"
#include "data/batchRun.h"
#include "data/cancelSwitch.h"
#include "data/resultFetch.h"
#include "data/statementCancel.h"
#include "tests/data/databaseTest.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Value = std::optional<QString>;  // nothing: NULL

// What a run reported, taken from the run's thread and read from the test's.
class RecordingSink : public BatchRunSink {
public:
    explicit RecordingSink(bool keepValues = true) : keepValues_(keepValues) {}

    void BatchStarted(int index) override {
        std::lock_guard lock(mutex_);
        events_.push_back(QStringLiteral("started %1").arg(index));
        names_.clear();
        values_.clear();
        segments_.clear();
    }
    void Columns(const QStringList &names, const QList<int> &) override {
        std::lock_guard lock(mutex_);
        events_.push_back(QStringLiteral("columns"));
        names_ = names;
    }
    void Rows(CellStore rows) override {
        std::lock_guard lock(mutex_);
        if (segments_.empty()) {
            firstRows_ = Clock::now();
        }
        segments_.push_back(rows.rowCount());
        if (keepValues_) {
            for (qsizetype row = 0; row < rows.rowCount(); ++row) {
                for (int column = 0; column < rows.columnCount(); ++column) {
                    values_.push_back(rows.isNull(row, column)
                                          ? Value()
                                          : Value(rows.text(row, column).toString()));
                }
            }
        }
    }
    void BatchEnded(int index, bool hasResult, qint64 rowsAffected) override {
        std::lock_guard lock(mutex_);
        events_.push_back(
            hasResult ? QStringLiteral("ended %1 with rows").arg(index)
                      : QStringLiteral("ended %1, %2 changed").arg(index).arg(rowsAffected));
    }

    QStringList events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    QStringList names() const {
        std::lock_guard lock(mutex_);
        return names_;
    }
    std::vector<Value> values() const {
        std::lock_guard lock(mutex_);
        return values_;
    }
    std::vector<qsizetype> segments() const {
        std::lock_guard lock(mutex_);
        return segments_;
    }
    qsizetype rows() const {
        std::lock_guard lock(mutex_);
        qsizetype total = 0;
        for (const qsizetype count : segments_) {
            total += count;
        }
        return total;
    }
    Clock::time_point firstRows() const {
        std::lock_guard lock(mutex_);
        return firstRows_;
    }

private:
    const bool keepValues_;
    mutable std::mutex mutex_;
    QStringList events_;
    QStringList names_;
    std::vector<Value> values_;  // row after row
    std::vector<qsizetype> segments_;
    Clock::time_point firstRows_;
};

// Runs the batches on a thread of their own, as the worker does.
std::future<std::optional<Failure>> Start(Connection &connection, QStringList batches,
                                          std::chrono::milliseconds timeout, CancelSwitch &cancel,
                                          RecordingSink &sink) {
    return std::async(std::launch::async, [&connection, batches, timeout, &cancel, &sink] {
        return RunBatches(connection, batches, timeout, cancel, sink);
    });
}

class BatchRunTest : public StreamingDatabaseTest {
protected:
    // Runs one query to its end on the test's thread and returns its values.
    std::vector<Value> Query(Connection &on, const QString &sql) {
        CancelSwitch cancel;
        RecordingSink sink;
        const std::optional<Failure> failure = RunBatches(on, {sql}, 0ms, cancel, sink);
        EXPECT_FALSE(failure) << failure->description.toStdString();
        return sink.values();
    }

    // Cancels the run once `when` holds (checked every 5 ms), and expects it to end with the
    // user's cancel within a second; the connection then runs the next query.
    template <typename When>
    void CancelAndExpectAQuickEnd(Connection &on, const QStringList &batches, RecordingSink &sink,
                                  When &&when) {
        CancelSwitch cancel;
        auto run = Start(on, batches, 0ms, cancel, sink);
        const auto giveUp = Clock::now() + 20s;
        while (!when() && Clock::now() < giveUp && run.wait_for(5ms) != std::future_status::ready) {
        }
        ASSERT_TRUE(when()) << "the run never reached the moment of the cancel";
        const auto requested = Clock::now();
        cancel.Request();
        ASSERT_EQ(run.wait_for(1s), std::future_status::ready) << "the run went on";
        EXPECT_LT(Clock::now() - requested, 1s);
        const std::optional<Failure> failure = run.get();
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->number, DatabaseFailureNumber::Cancelled);
        EXPECT_EQ(failure->description, QStringLiteral("クエリの実行を取り消しました。"));
        EXPECT_EQ(Query(on, QStringLiteral("SELECT 42 AS answer")), std::vector<Value>{"42"});
    }
};

TEST_P(BatchRunTest, ACancelStopsTheRunWhileItExecutesOrFetches) {
    {
        SCOPED_TRACE("during execution");
        RecordingSink sink;
        CancelAndExpectAQuickEnd(connection, {SlowQuery(30)}, sink, [&] {
            return sink.events() == QStringList{QStringLiteral("started 0")};
        });
        EXPECT_EQ(sink.events(), QStringList{QStringLiteral("started 0")});
    }
    {
        SCOPED_TRACE("during the fetch");
        RecordingSink sink(false);
        CancelAndExpectAQuickEnd(streaming, {LongStream()}, sink, [&] { return sink.rows() > 0; });
        EXPECT_EQ(sink.events(), (QStringList{"started 0", "columns"}));
    }
}

TEST_P(BatchRunTest, TimeOutWhileFetchingEndsEveryRunWithTheTimeOutAlone) {
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> limits(30, 300);
    for (int run = 0; run < 20; ++run) {
        const auto limit = std::chrono::milliseconds(limits(random));
        SCOPED_TRACE(testing::Message() << "run " << run << ", limit " << limit.count() << " ms");
        CancelSwitch cancel;
        RecordingSink sink(false);
        const std::optional<Failure> failure =
            RunBatches(streaming, {LongStream()}, limit, cancel, sink);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->number, DatabaseFailureNumber::Timeout);
        EXPECT_EQ(failure->description, QStringLiteral("クエリがタイムアウトしました。"));
        EXPECT_FALSE(sink.events().contains(QStringLiteral("ended 0 with rows")));
    }
    EXPECT_EQ(Query(streaming, QStringLiteral("SELECT 42 AS answer")), std::vector<Value>{"42"});
}

TEST_P(BatchRunTest, BatchesRunInTurnAndACancelKeepsTheLaterOnesFromBeingSent) {
    const QString t = table(QStringLiteral("batches"));
    Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    {
        SCOPED_TRACE("every batch");
        CancelSwitch cancel;
        RecordingSink sink;
        const std::optional<Failure> failure = RunBatches(
            connection,
            {QStringLiteral("CREATE TABLE %1 (id integer, note varchar(10))").arg(t), QString(),
             QStringLiteral("INSERT INTO %1 VALUES (1, 'one'), (2, NULL)").arg(t),
             QStringLiteral("SELECT id, note FROM %1 ORDER BY id").arg(t)},
            0ms, cancel, sink);
        ASSERT_FALSE(failure) << failure->description.toStdString();
        QStringList events = sink.events();
        ASSERT_EQ(events.size(), 8) << events.join(QLatin1Char('|')).toStdString();
        events.removeAt(1);  // a statement without rows: the count is the driver's (0 or -1)
        EXPECT_EQ(events, (QStringList{"started 0", "started 1", "started 2", "ended 2, 2 changed",
                                       "started 3", "columns", "ended 3 with rows"}));
        EXPECT_EQ(sink.names(), (QStringList{"id", "note"}));
        EXPECT_EQ(sink.values(), (std::vector<Value>{"1", "one", "2", std::nullopt}));
    }
    {
        SCOPED_TRACE("a cancel during the second batch");
        RecordingSink sink;
        CancelAndExpectAQuickEnd(
            connection,
            {QStringLiteral("DELETE FROM %1").arg(t), SlowQuery(30),
             QStringLiteral("INSERT INTO %1 VALUES (3, 'three')").arg(t)},
            sink, [&] { return sink.events().contains(QStringLiteral("started 1")); });
        EXPECT_EQ(sink.events(), (QStringList{"started 0", "ended 0, 2 changed", "started 1"}));
        EXPECT_EQ(Query(connection, QStringLiteral("SELECT count(*) FROM %1").arg(t)),
                  std::vector<Value>{"0"});
    }
    Exec(QStringLiteral("DROP TABLE %1").arg(t));
}

TEST_P(BatchRunTest, RowsArriveWhileTheFetchStillRuns) {
    const QString sql =
        postgres()
            ? QStringLiteral("SELECT x, 'row ' || x AS label FROM generate_series(1, 400000) x")
            : QStringLiteral(
                  "WITH RECURSIVE a(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM a WHERE x < "
                  "400000) SELECT x, 'row ' || x AS label FROM a");
    CancelSwitch cancel;
    RecordingSink sink(false);
    const auto started = Clock::now();
    const std::optional<Failure> failure = RunBatches(streaming, {sql}, 0ms, cancel, sink);
    const auto ended = Clock::now();
    ASSERT_FALSE(failure) << failure->description.toStdString();
    EXPECT_EQ(sink.rows(), 400000);
    const std::vector<qsizetype> segments = sink.segments();
    ASSERT_FALSE(segments.empty());
    // The first rows go as soon as the first fetch brought them, one block at most.
    EXPECT_LE(segments.front(), 512);
    EXPECT_LT(sink.firstRows() - started, (ended - started) / 4)
        << "first rows after "
        << std::chrono::duration_cast<std::chrono::milliseconds>(sink.firstRows() - started).count()
        << " ms of "
        << std::chrono::duration_cast<std::chrono::milliseconds>(ended - started).count();
    // The rest a few times a second while they come, not once a block.
    const auto seconds = std::chrono::duration<double>(ended - started).count();
    EXPECT_GE(segments.size(), 3u);
    EXPECT_LE(double(segments.size()), 2 + seconds * 5 * 1.5);
}

// The rows in segments are the rows of the synchronous fetch: values, NULLs, names.
TEST_P(BatchRunTest, SegmentsHoldTheSameResultAsTheWholeFetch) {
    const QString many =
        postgres() ? QStringLiteral(
                         "SELECT x AS n, CASE WHEN x % 7 = 0 THEN NULL ELSE '値' || x END AS v "
                         "FROM generate_series(1, 150000) x")
                   : QStringLiteral(
                         "WITH RECURSIVE a(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM a WHERE x < "
                         "150000) SELECT x AS n, CASE WHEN x % 7 = 0 THEN NULL ELSE '値' || x END "
                         "AS v FROM a");
    const std::vector<QString> queries = {
        QStringLiteral("SELECT 1 AS one, NULL AS absent, '日本語' AS words, '' AS empty"),
        QStringLiteral("SELECT 1 AS n WHERE 1 = 0"),
        many,
    };
    for (const QString &sql : queries) {
        SCOPED_TRACE(sql.toStdString());
        CancelSwitch cancel;
        RecordingSink sink;
        const std::optional<Failure> failure = RunBatches(streaming, {sql}, 0ms, cancel, sink);
        ASSERT_FALSE(failure) << failure->description.toStdString();

        StatementCancel whole;
        const std::optional<FetchedResult> expected =
            RunAndFetchFirstResult(streaming.handle(), sql, whole);
        ASSERT_TRUE(expected);
        EXPECT_EQ(sink.names(), expected->names);
        std::vector<Value> values;
        for (qsizetype row = 0; row < expected->rows.rowCount(); ++row) {
            for (int column = 0; column < expected->rows.columnCount(); ++column) {
                values.push_back(expected->rows.isNull(row, column)
                                     ? Value()
                                     : Value(expected->rows.text(row, column).toString()));
            }
        }
        EXPECT_TRUE(sink.values() == values);
        EXPECT_EQ(qsizetype(sink.values().size()),
                  expected->rows.rowCount() * expected->rows.columnCount());
    }
}

// SQLite and PostgreSQL: the drivers whose results stream.
INSTANTIATE_TEST_SUITE_P(Drivers, BatchRunTest,
                         testing::Values(TestDriver::Sqlite, TestDriver::Postgres), ParamName);

}  // namespace
