#include "tests/data/databaseTest.h"

#include "data/basConnect.h"

void DatabaseTest::SetUp() {
    const auto found = SourceFor(GetParam());
    if (!found) {
        if (PostgresRequired()) {
            FAIL() << "the " << DriverName(GetParam())
                   << " fixture is not running (CI=true requires it)";
        }
        GTEST_SKIP() << "the " << DriverName(GetParam()) << " fixture is not running";
    }
    source = *found;
    connection.setConnectionString(connectionString());
    connection.Open();
}

const DriverTraits &DatabaseTest::traits() const {
    // SQLite keeps numeric values by affinity (12.50 is the real 12.5) and refuses a second
    // statement in one text.
    static const DriverTraits sqlite{.productName = "SQLite",
                                     .multipleStatements = false,
                                     .oneStatementWords = "only one SQL statement",
                                     .decimalText = "12.5",
                                     .binaryType = "blob",
                                     .binaryLiteral = "x'00ff10'",
                                     .binaryText = "00ff10",
                                     .longTextType = "text",
                                     .missingTableState = "HY000"};
    static const DriverTraits postgres{.productName = "PostgreSQL",
                                       .multipleStatements = true,
                                       .decimalText = "12.50",
                                       .binaryType = "bytea",
                                       .binaryLiteral = "'\\x00ff10'::bytea",
                                       .binaryText = "00ff10",
                                       .longTextType = "text",
                                       .missingTableState = "42P01",
                                       .cancelsTheStatementInUse = true,
                                       .wrongPasswordWords = "password authentication failed",
                                       .currentUserQuery = "SELECT current_user AS who",
                                       .sessionIdQuery = "SELECT pg_backend_pid() AS id",
                                       .endSessionQuery = "SELECT pg_terminate_backend(%1) AS done",
                                       .sleepQuery = "SELECT pg_sleep(%1) AS slept",
                                       .sleepingQuery =
                                           "SELECT count(*) AS n FROM pg_stat_activity WHERE "
                                           "pid = %1 AND state = 'active' AND "
                                           "query LIKE '%pg_sleep(%'",
                                       .longestNameBytes = 63};
    // MariaDB's driver takes one statement per text unless the source sets its multi-statement
    // option, and a TEXT or BLOB column holds 64 KiB.
    static const DriverTraits mariadb{
        .productName = "MariaDB",
        .multipleStatements = false,
        .oneStatementWords = "You have an error in your SQL syntax",
        .decimalText = "12.50",
        .binaryType = "longblob",
        .binaryLiteral = "x'00ff10'",
        .binaryText = "00ff10",
        .longTextType = "longtext",
        .missingTableState = "42S02",
        .wrongPasswordWords = "Access denied",
        .currentUserQuery = "SELECT SUBSTRING_INDEX(CURRENT_USER(), '@', 1) AS who",
        .sessionIdQuery = "SELECT CONNECTION_ID() AS id",
        .endSessionQuery = "KILL %1",
        .sleepQuery = "SELECT SLEEP(%1) AS slept",
        .sleepingQuery =
            "SELECT count(*) AS n FROM information_schema.PROCESSLIST "
            "WHERE ID = %1 AND INFO LIKE 'SELECT SLEEP(%'",
        .longestNameBytes = 255};
    switch (GetParam()) {
        case TestDriver::Postgres:
            return postgres;
        case TestDriver::MariaDb:
            return mariadb;
        case TestDriver::Sqlite:
            break;
    }
    return sqlite;
}

QString DatabaseTest::connectionString() const {
    return BuildConnectionString(source.dsn, source.uid, source.pwd);
}

QString DatabaseTest::table(const QString &stem) const {
    const auto *info = testing::UnitTest::GetInstance()->current_test_info();
    QString name = stem + QLatin1Char('_') + QString::fromLatin1(info->name());
    for (QChar &c : name) {
        if (!c.isLetterOrNumber()) {
            c = QLatin1Char('_');
        }
    }
    return name.toLower();
}

void DatabaseTest::Exec(const QString &sql) {
    Exec(connection, sql);
}

void DatabaseTest::Exec(Connection &on, const QString &sql) {
    Recordset rs;
    rs.Open(sql, on);
    if (rs.State() == Recordset::StateOpen) {
        rs.Close();
    }
}

QString DatabaseTest::SlowQuery(int seconds) const {
    if (server()) {
        return QString::fromLatin1(traits().sleepQuery).arg(seconds);
    }
    // About 10 million steps a second; far longer than any time-out the tests set.
    return QStringLiteral(
               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
               "SELECT count(*) FROM c")
        .arg(qint64(seconds) * 10'000'000);
}

QString DatabaseTest::LongStream() const {
    switch (GetParam()) {
        case TestDriver::Postgres:
            return QStringLiteral(
                "SELECT x, 'row ' || x AS label FROM generate_series(1, 5000000) x");
        case TestDriver::MariaDb:
            // The driver reads the whole result in SQLExecDirect (about half a second
            // here) and SQLFetch then walks rows in memory, so a cancel meets either. (A
            // recursive query would stop at max_recursive_iterations, 1,000 rows.)
            return QStringLiteral(
                "SELECT seq AS x, CONCAT('row ', seq) AS label FROM seq_1_to_1000000");
        case TestDriver::Sqlite:
            break;
    }
    return QStringLiteral(
        "WITH RECURSIVE a(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM a WHERE x < 200000), "
        "b(y) AS (SELECT 1 UNION ALL SELECT y + 1 FROM b WHERE y < 30) "
        "SELECT x, y, 'row ' || x AS label FROM a, b");
}

std::string ParamName(const testing::TestParamInfo<TestDriver> &info) {
    return DriverName(info.param);
}

void StreamingDatabaseTest::SetUp() {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    const TestSource stream = *StreamingSourceFor(GetParam());
    streaming.setConnectionString(BuildConnectionString(stream.dsn, stream.uid, stream.pwd));
    streaming.Open();
}
