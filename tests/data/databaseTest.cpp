#include "tests/data/databaseTest.h"

#include "data/basConnect.h"

void DatabaseTest::SetUp() {
    const auto found = SourceFor(GetParam());
    if (!found) {
        if (PostgresRequired()) {
            FAIL() << "the PostgreSQL fixture is not running (CI=true requires it)";
        }
        GTEST_SKIP() << "the PostgreSQL fixture is not running";
    }
    source = *found;
    connection.setConnectionString(connectionString());
    connection.Open();
}

const DriverTraits &DatabaseTest::traits() const {
    // SQLite keeps numeric values by affinity (12.50 is the real 12.5), shows a BLOB as a SQL
    // literal, and refuses a second statement in one text.
    static const DriverTraits sqlite{false, "12.5", "X'00FF10'"};
    static const DriverTraits postgres{true, "12.50", "00ff10", 63};
    return GetParam() == TestDriver::Postgres ? postgres : sqlite;
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
    if (postgres()) {
        return QStringLiteral("SELECT pg_sleep(%1)").arg(seconds);
    }
    // About 10 million steps a second; far longer than any time-out the tests set.
    return QStringLiteral(
               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
               "SELECT count(*) FROM c")
        .arg(qint64(seconds) * 10'000'000);
}

std::string ParamName(const testing::TestParamInfo<TestDriver> &info) {
    return DriverName(info.param);
}
