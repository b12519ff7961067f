#include <chrono>
#include <random>
#include <thread>

#include "data/basConnect.h"
#include "data/resultFetch.h"
#include "data/statementCancel.h"
#include "tests/data/databaseTest.h"

namespace {

using namespace std::chrono_literals;

// Time-outs and cancels that stop a run while its rows are being fetched, on the driver's
// streaming source, where rows arrive while the statement still runs (where the driver can).
class CancelTest : public StreamingDatabaseTest {
protected:
    void ExpectUsable(Connection &on) {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT 42 AS answer"), on);
        EXPECT_EQ(rs.Value(0), QStringLiteral("42"));
    }
};

TEST_P(CancelTest, TimeOutWhileFetchingEndsEveryRunWithTheTimeOutAlone) {
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> limits(30, 900);
    for (int run = 0; run < 20; ++run) {
        const auto limit = std::chrono::milliseconds(limits(random));
        SCOPED_TRACE(testing::Message() << "run " << run << ", limit " << limit.count() << " ms");
        StatementCancel cancel(limit);
        const DatabaseFailure failure = DatabaseFailureOf(
            [&] { RunAndFetchFirstResult(streaming.handle(), LongStream(), cancel); });
        EXPECT_EQ(failure.number, DatabaseFailureNumber::Timeout);
        EXPECT_EQ(failure.description, QStringLiteral("クエリがタイムアウトしました。"));
        EXPECT_EQ(failure.sqlStates, QStringList{QStringLiteral("HYT00")});
        ExpectUsable(streaming);
    }
}

TEST_P(CancelTest, RequestFromAnotherThreadStopsTheFetch) {
    StatementCancel cancel;
    std::jthread user([&] {
        std::this_thread::sleep_for(300ms);
        cancel.Request();
    });
    const DatabaseFailure failure = DatabaseFailureOf(
        [&] { RunAndFetchFirstResult(streaming.handle(), LongStream(), cancel); });
    EXPECT_EQ(failure.number, DatabaseFailureNumber::Cancelled);
    EXPECT_EQ(cancel.reason(), CancelReason::Requested);
    ExpectUsable(streaming);
}

// The statement in use holds rows between its calls, and inside a call that does not wait on
// the server (SQLFetch over rows in memory). A driver that closes the cursor of an idle
// statement it is asked to cancel (SQLite3, MariaDB) would free them under the owner, so the
// cancel must leave that statement alone there; only psqlODBC, whose cancel acts on nothing but
// an executing statement, gets it on the statement itself.
TEST_P(CancelTest, CancelGoesToTheStatementInUseOnlyWhereThatIsSafe) {
    OdbcHandle statement(SQL_HANDLE_STMT, connection.handle());
    const QString sql = QStringLiteral("SELECT 1 AS n UNION ALL SELECT 2");
    check(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR *>(ToSqlWChar(sql)),
                         SQLINTEGER(sql.size())),
          statement, "SQLExecDirectW");
    ASSERT_EQ(SQLFetch(statement.get()), SQL_SUCCESS);
    {
        StatementCancel cancel(50ms);
        cancel.Attach(connection.handle(), statement.get());
        // A call that lasts until the clock has cancelled the run: the clock sends its cancel
        // before the owner may leave the call.
        const DatabaseFailure failure = DatabaseFailureOf([&] {
            cancel.Run(StatementCancel::Call::Interruptible, [&] {
                while (cancel.reason() == CancelReason::None) {
                    std::this_thread::sleep_for(5ms);
                }
                return SQLRETURN(SQL_SUCCESS);
            });
        });
        EXPECT_EQ(failure.number, DatabaseFailureNumber::Timeout);
    }
    const SQLRETURN next = SQLFetch(statement.get());
    if (traits().cancelsTheStatementInUse) {
        // The driver manager marks the cursor of a cancelled statement closed.
        EXPECT_EQ(next, SQL_ERROR);
        return;
    }
    ASSERT_EQ(next, SQL_SUCCESS);
    SQLINTEGER second = 0;
    SQLLEN indicator = 0;
    ASSERT_EQ(SQLGetData(statement.get(), 1, SQL_C_SLONG, &second, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(SQLFetch(statement.get()), SQL_NO_DATA);
}

TEST_P(CancelTest, NothingIsSentOnceCancelled) {
    const QString t = table(QStringLiteral("never"));
    Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    StatementCancel cancel;
    cancel.Request();
    EXPECT_EQ(DatabaseFailureOf([&] {
                  RunAndFetchFirstResult(connection.handle(),
                                         QStringLiteral("CREATE TABLE %1 (id integer)").arg(t),
                                         cancel);
              }).number,
              DatabaseFailureNumber::Cancelled);
    Exec(QStringLiteral("CREATE TABLE %1 (id integer)").arg(t));  // fails if it was created
}

TESSORY_ALL_DRIVERS(CancelTest);

}  // namespace
