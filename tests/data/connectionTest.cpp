#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

#include <thread>

#include "data/basConnect.h"
#include "data/basDsn.h"
#include "data/command.h"
#include "data/layerFailure.h"
#include "tests/data/databaseTest.h"
#include "tests/support/recordingPresenter.h"

namespace {

class ConnectionTest : public DatabaseTest {};

TEST_P(ConnectionTest, OpensReportsTheProductAndCloses) {
    EXPECT_EQ(connection.State(), Connection::StateOpen);
    EXPECT_EQ(connection.ConnectionString(), connectionString());
    EXPECT_EQ(connection.DbmsName(), QLatin1String(traits().productName));
    EXPECT_EQ(FailureOf([&] { connection.Open(); }).number, LayerFailureNumber::ObjectOpen);
    EXPECT_EQ(FailureOf([&] { connection.setConnectionString(QString()); }).number,
              LayerFailureNumber::ObjectOpen);
    connection.Close();
    EXPECT_EQ(connection.State(), Connection::StateClosed);
    EXPECT_EQ(FailureOf([&] { connection.Close(); }).number, LayerFailureNumber::ObjectClosed);
    EXPECT_EQ(FailureOf([&] { connection.DbmsName(); }).number, LayerFailureNumber::ObjectClosed);
    connection.Open();
    EXPECT_EQ(connection.State(), Connection::StateOpen);
}

TEST_P(ConnectionTest, UnknownDataSourceFailsWithTheDriverManagersText) {
    Connection other;
    other.setConnectionString(
        BuildConnectionString(QStringLiteral("NoSuchSource"), QString(), QString()));
    const DatabaseFailure failure = DatabaseFailureOf([&] { other.Open(); });
    EXPECT_EQ(failure.sqlStates.value(0), QStringLiteral("IM002"));
    EXPECT_TRUE(failure.description.contains(QLatin1String("Data source name not found")))
        << failure.description.toStdString();
    EXPECT_EQ(other.State(), Connection::StateClosed);
}

TEST_P(ConnectionTest, WrongPasswordIsRefusedWithTheServersText) {
    if (!server()) {
        GTEST_SKIP() << "SQLite has no login";
    }
    Connection other;
    other.setConnectionString(
        BuildConnectionString(source.dsn, source.uid, QStringLiteral("wrong")));
    const DatabaseFailure failure = DatabaseFailureOf([&] { other.Open(); });
    EXPECT_TRUE(failure.description.contains(QLatin1String(traits().wrongPasswordWords)))
        << failure.description.toStdString();
    EXPECT_EQ(other.State(), Connection::StateClosed);
}

TEST_P(ConnectionTest, PasswordWithConnectionStringCharactersReachesTheServerWhole) {
    if (!server()) {
        // The SQLite3 driver takes no password, but it reads attributes out of the connection
        // string without honouring braces: this one must neither open nor create that file.
        const QString elsewhere = SqliteSourceFile(QStringLiteral("elsewhere"));
        QFile::remove(elsewhere);
        Connection other;
        other.setConnectionString(BuildConnectionString(source.dsn, QString(),
                                                        QStringLiteral("x;Database=") + elsewhere));
        other.Open();
        Recordset rs;
        rs.Open(QStringLiteral("SELECT file FROM pragma_database_list WHERE name = 'main'"), other);
        EXPECT_TRUE(rs.Value(0).endsWith(QLatin1String("/test.sqlite")))
            << rs.Value(0).toStdString();
        EXPECT_FALSE(QFile::exists(elsewhere));
        return;
    }
    // The fixtures' login tessory_braces has the password " a;b}c{d=e ".
    Connection other;
    other.setConnectionString(BuildConnectionString(source.dsn, QStringLiteral("tessory_braces"),
                                                    QStringLiteral(" a;b}c{d=e ")));
    other.Open();
    Recordset rs;
    const QString databaseQuery = GetParam() == TestDriver::MariaDb
                                      ? QStringLiteral("DATABASE()")
                                      : QStringLiteral("current_database()");
    rs.Open(QString::fromLatin1(traits().currentUserQuery) + QStringLiteral(", ") + databaseQuery +
                QStringLiteral(" AS db"),
            other);
    EXPECT_EQ(rs.Value(0), QStringLiteral("tessory_braces"));
    EXPECT_EQ(rs.Value(1), QStringLiteral("tessory"));
    // Cut at the first ";" the password would be wrong.
    Connection cut;
    cut.setConnectionString(
        QStringLiteral("DSN=%1;UID=tessory_braces;PWD= a;b}c{d=e ;").arg(source.dsn));
    EXPECT_THROW(cut.Open(), Failure);
}

TEST_P(ConnectionTest, CommitWithoutOwnTransactionFailsAndCommitsNothing) {
    EXPECT_EQ(FailureOf([&] { connection.CommitTrans(); }).number,
              LayerFailureNumber::NoTransaction);
    const QString t = table(QStringLiteral("tx"));
    Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    Exec(QStringLiteral("CREATE TABLE %1 (id integer)").arg(t));
    // Our own transaction commits.
    connection.BeginTrans();
    Exec(QStringLiteral("INSERT INTO %1 VALUES (1)").arg(t));
    connection.CommitTrans();
    // A transaction that the user's own SQL opened is the user's to end.
    Exec(QStringLiteral("BEGIN"));
    Exec(QStringLiteral("INSERT INTO %1 VALUES (2)").arg(t));
    EXPECT_THROW(connection.CommitTrans(), Failure);
    connection.Close();  // ends the session; an uncommitted insert is gone
    connection.Open();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT count(*) AS n FROM %1").arg(t), connection);
    EXPECT_EQ(rs.Value(0), QStringLiteral("1"));
}

TEST_P(ConnectionTest, ServerGoingAwayMidQueryIsAFailure) {
    if (!server()) {
        GTEST_SKIP() << "SQLite has no server";
    }
    Recordset pid;
    pid.Open(QString::fromLatin1(traits().sessionIdQuery), connection);
    const QString backend = pid.Value(0);
    // Ends the session once the server shows it inside the sleep, however slowly the
    // statement gets there.
    bool seenSleeping = false;
    std::thread killer([&] {
        Connection second;
        second.setConnectionString(connectionString());
        second.Open();
        const QString sleeping = QString::fromLatin1(traits().sleepingQuery).arg(backend);
        const QDeadlineTimer deadline(30000);
        while (!seenSleeping && !deadline.hasExpired()) {
            Recordset state;
            state.Open(sleeping, second);
            seenSleeping = state.Value(0) == QLatin1String("1");
            if (!seenSleeping) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        Exec(second, QString::fromLatin1(traits().endSessionQuery).arg(backend));
    });
    Command command;
    command.setActiveConnection(&connection);
    command.setCommandText(QString::fromLatin1(traits().sleepQuery).arg(3));
    command.setCommandTimeout(0);
    Recordset rs;
    const DatabaseFailure failure = DatabaseFailureOf([&] { rs.Open(command); });
    killer.join();
    EXPECT_TRUE(seenSleeping) << "the session was never seen in its sleep";
    EXPECT_FALSE(failure.description.isEmpty());
    EXPECT_FALSE(failure.sqlStates.isEmpty());
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
    // Later statements fail too, and closing and reopening brings the connection back.
    EXPECT_THROW(rs.Open(command), Failure);
    IgnoreFailure([&] { connection.Close(); });
    EXPECT_EQ(connection.State(), Connection::StateClosed);
    connection.Open();
    rs.Open(QString::fromLatin1(traits().sleepQuery).arg(0), connection);
    EXPECT_EQ(rs.RecordCount(), 1);
}

TEST_P(ConnectionTest, ProviderIsOdbcOnly) {
    Connection other;
    EXPECT_EQ(other.Provider(), QStringLiteral("MSDASQL"));
    other.setProvider(QStringLiteral("msdasql"));
    EXPECT_EQ(FailureOf([&] { other.setProvider(QStringLiteral("SQLOLEDB")); }).number,
              LayerFailureNumber::ProviderNotFound);
}

TEST_P(ConnectionTest, ListsTheRegisteredDataSourcesInOrder) {
    const QStringList names = GetDSNsAndDrivers();
    // The fixtures' sources follow the SQLite one, those of the servers that run.
    QStringList expected{QStringLiteral("TessorySqlite")};
    if (SourceFor(TestDriver::Postgres)) {
        expected << QStringLiteral("TessoryPostgres") << QStringLiteral("TessoryPostgresStream");
    }
    if (SourceFor(TestDriver::MariaDb)) {
        expected << QStringLiteral("TessoryMariaDB") << QStringLiteral("TessoryMariaDBStream");
    }
    // The machine's own system sources may follow.
    EXPECT_EQ(names.mid(0, expected.size()), expected)
        << names.join(QLatin1Char(',')).toStdString();
}

TEST_P(ConnectionTest, OpenConnectionReportsAndRecovers) {
    RecordingPresenter presenter;
    Connection connection;
    EXPECT_TRUE(OpenConnection(connection, source.dsn, source.uid, source.pwd));
    EXPECT_EQ(connection.State(), Connection::StateOpen);
    EXPECT_EQ(connection.ConnectionString(), connectionString());
    EXPECT_TRUE(presenter.boxes().isEmpty());
    // A failed attempt closes the old connection first and keeps the new string.
    EXPECT_FALSE(OpenConnection(connection, QStringLiteral("NoSuchSource"), QStringLiteral("sa"),
                                QString()));
    EXPECT_EQ(connection.State(), Connection::StateClosed);
    EXPECT_EQ(connection.ConnectionString(), QStringLiteral("DSN=NoSuchSource;UID=sa;PWD=;"));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().at(0).title, QStringLiteral("エラー"));
    EXPECT_TRUE(presenter.boxes().at(0).text.contains(QLatin1String("Data source name not found")));
    EXPECT_TRUE(OpenConnection(connection, source.dsn, source.uid, source.pwd));
    connection.Close();
}

TESSORY_ALL_DRIVERS(ConnectionTest);

struct ConnectionStringRow {
    const char *name;
    const char *dsn, *uid, *pwd;
    const char *expected;
};

class BuildConnectionStringTest : public testing::TestWithParam<ConnectionStringRow> {};

TEST_P(BuildConnectionStringTest, QuotesOnlyWhatNeedsIt) {
    const ConnectionStringRow &row = GetParam();
    EXPECT_EQ(BuildConnectionString(QString::fromUtf8(row.dsn), QString::fromUtf8(row.uid),
                                    QString::fromUtf8(row.pwd)),
              QString::fromUtf8(row.expected));
    // And the string gives back the three fields, which are then passed apart.
    const std::optional<DialogLogin> login =
        ParseDialogConnectionString(QString::fromUtf8(row.expected));
    ASSERT_TRUE(login);
    EXPECT_EQ(login->dsn, QString::fromUtf8(row.dsn));
    EXPECT_EQ(login->uid, QString::fromUtf8(row.uid));
    EXPECT_EQ(login->pwd, QString::fromUtf8(row.pwd));
}

const ConnectionStringRow kConnectionStrings[] = {
    {"ordinary", "Sales", "sa", "", "DSN=Sales;UID=sa;PWD=;"},
    {"all_empty", "", "", "", "DSN=;UID=;PWD=;"},
    {"japanese_and_inner_spaces", "販売 DB", "山田 太郎", "pass word",
     "DSN=販売 DB;UID=山田 太郎;PWD=pass word;"},
    {"semicolon", "Sales", "sa", "a;UID=root", "DSN=Sales;UID=sa;PWD={a;UID=root};"},
    {"closing_brace_doubled", "Sales", "sa", "x}y", "DSN=Sales;UID=sa;PWD={x}}y};"},
    {"opening_brace", "Sales", "sa", "{x", "DSN=Sales;UID=sa;PWD={{x};"},
    {"equals", "Sales", "sa", "a=b", "DSN=Sales;UID=sa;PWD={a=b};"},
    {"leading_space", "Sales", " sa", "p", "DSN=Sales;UID={ sa};PWD=p;"},
    {"trailing_space", "Sales ", "sa", "p", "DSN={Sales };UID=sa;PWD=p;"},
};

INSTANTIATE_TEST_SUITE_P(Rows, BuildConnectionStringTest, testing::ValuesIn(kConnectionStrings),
                         [](const auto &info) { return std::string(info.param.name); });

// Strings that the dialog does not make connect through the driver's own parser, as given.
TEST(ParseDialogConnectionString, OnlyTheDialogsExactFormIsTakenApart) {
    for (const char *text :
         {"DSN=Sales;", "Driver=SQLite3;Database=/tmp/a.db;", "DSN=Sales;UID=sa;PWD=;StepAPI=1;",
          "DSN=Sales;UID=sa;PWD=", "DSN=Sales;UID=sa;PWD={a;b;", "DSN=Sales;UID=sa;PWD={ab}c};",
          "dsn=Sales;UID=sa;PWD=;", "DSN=Sales;UID=sa;PWD={ab};", "DSN=Sales;UID=sa;PWD=a=b;",
          "UID=sa;DSN=Sales;PWD=;"}) {
        EXPECT_FALSE(ParseDialogConnectionString(QString::fromUtf8(text))) << text;
    }
}

}  // namespace
