#pragma once

#include <QString>

#include <optional>
#include <ostream>

// The databases the tests run against, registered as ODBC data sources in the test process's
// own odbcinst.ini and odbc.ini (ODBCSYSINI / ODBCINI): SQLite on a temporary file, and the
// private PostgreSQL cluster of the test fixture when it runs.
enum class TestDriver { Sqlite, Postgres };

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

// The source of a driver; nothing when the PostgreSQL fixture is not running.
std::optional<TestSource> SourceFor(TestDriver driver);

// Name of a driver for test names and messages.
const char *DriverName(TestDriver driver);

// True when the PostgreSQL tests must run (CI=true).
bool PostgresRequired();
