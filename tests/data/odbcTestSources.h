#pragma once

#include <QString>

#include <array>
#include <optional>
#include <ostream>

// The databases the tests run against, registered as ODBC data sources in the test process's
// own odbcinst.ini and odbc.ini (ODBCSYSINI / ODBCINI): SQLite on a temporary file, and the
// private PostgreSQL and MariaDB servers of the test fixtures when they run.
enum class TestDriver { Sqlite, Postgres, MariaDb };

// Every driver the database tests run their bodies against.
inline constexpr std::array kTestDrivers{TestDriver::Sqlite, TestDriver::Postgres,
                                         TestDriver::MariaDb};

struct TestSource {
    TestDriver driver;
    QString dsn;
    QString uid;
    QString pwd;
};

// Readable test names for parameterised tests.
void PrintTo(TestDriver driver, std::ostream *out);

// Writes the ini files and points the driver manager at them; call before the first ODBC call.
void PrepareTestDataSources();

// The source of a driver; nothing when its server's fixture is not running.
std::optional<TestSource> SourceFor(TestDriver driver);

// The driver's source that streams a large result instead of reading it whole before the first
// row (SQLite3 driver with StepAPI=1, psqlODBC with UseDeclareFetch=1); nothing when the
// fixture is not running.
std::optional<TestSource> StreamingSourceFor(TestDriver driver);

// Registers one more SQLite data source of the given name, on a new empty database file (an
// earlier file of that name is removed), and returns the name.
QString RegisterSqliteSource(const QString &name);
// Registers a data source of the given name for the PostgreSQL fixture's driver that points at
// 127.0.0.1:`port`, whatever listens there, and returns the name; nothing when the fixture's
// driver is not registered.
std::optional<QString> RegisterPostgresSourceAt(const QString &name, quint16 port);
// The database file behind a source registered by RegisterSqliteSource.
QString SqliteSourceFile(const QString &name);

// Name of a driver for test names and messages.
const char *DriverName(TestDriver driver);

// True when the tests of the fixtures' servers must run (CI=true).
bool PostgresRequired();
