#include "tests/data/odbcTestSources.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

#include "tests/support/testEnvironment.h"

namespace {

QString ReadIfExists(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void Write(const QString &path, const QString &text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::abort();
    }
    file.write(text.toUtf8());
}

QString SourcesFolder() {
    return TestProcessFolder() + QStringLiteral("/odbc");
}

// The folders where the server fixtures leave their odbcinst.ini and odbc.ini.
const char *const kFixtureFolders[] = {TESSORY_PG_FIXTURE_DIR, TESSORY_MARIADB_FIXTURE_DIR};

bool gPostgresRegistered = false;
bool gMariaDbRegistered = false;

}  // namespace

void PrepareTestDataSources() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    const QString folder = SourcesFolder();
    QDir().mkpath(folder);
    QString fixtureDrivers;
    QString fixtureSources;
    for (const char *fixture : kFixtureFolders) {
        const QString fixtureFolder = QString::fromUtf8(fixture);
        fixtureDrivers +=
            ReadIfExists(fixtureFolder + QStringLiteral("/odbcinst.ini")) + QLatin1Char('\n');
        fixtureSources +=
            ReadIfExists(fixtureFolder + QStringLiteral("/odbc.ini")) + QLatin1Char('\n');
    }
    gPostgresRegistered = fixtureSources.contains(QLatin1String("[TessoryPostgres]"));
    gMariaDbRegistered = fixtureSources.contains(QLatin1String("[TessoryMariaDB]"));
    Write(folder + QStringLiteral("/odbcinst.ini"),
          QStringLiteral("[TessorySQLite3]\nDriver=%1\n\n")
                  .arg(QStringLiteral(TESSORY_SQLITE3_ODBC)) +
              fixtureDrivers);
    Write(folder + QStringLiteral("/odbc.ini"),
          QStringLiteral("[TessorySqlite]\nDriver=TessorySQLite3\nDatabase=%1/test.sqlite\n\n")
                  .arg(folder) +
              fixtureSources);
    setenv("ODBCSYSINI", QFile::encodeName(folder).constData(), 1);
    setenv("ODBCINI", QFile::encodeName(folder + QStringLiteral("/odbc.ini")).constData(), 1);
}

std::optional<TestSource> SourceFor(TestDriver driver) {
    PrepareTestDataSources();
    switch (driver) {
        case TestDriver::Sqlite:
            return TestSource{driver, QStringLiteral("TessorySqlite"), {}, {}};
        case TestDriver::Postgres:
            if (!gPostgresRegistered) {
                return std::nullopt;
            }
            return TestSource{driver, QStringLiteral("TessoryPostgres"), QStringLiteral("tessory"),
                              QStringLiteral("tessory")};
        case TestDriver::MariaDb:
            if (!gMariaDbRegistered) {
                return std::nullopt;
            }
            return TestSource{driver, QStringLiteral("TessoryMariaDB"), QStringLiteral("tessory"),
                              QStringLiteral("tessory")};
    }
    return std::nullopt;
}

std::optional<TestSource> StreamingSourceFor(TestDriver driver) {
    std::optional<TestSource> source = SourceFor(driver);
    if (source && driver == TestDriver::Sqlite) {
        source->dsn = RegisterSqliteSource(QStringLiteral("TessorySqliteStream"));
    } else if (source && driver == TestDriver::Postgres) {
        source->dsn = QStringLiteral("TessoryPostgresStream");
    } else if (source && driver == TestDriver::MariaDb) {
        source->dsn = QStringLiteral("TessoryMariaDBStream");
    }
    return source;
}

QString SqliteSourceFile(const QString &name) {
    return SourcesFolder() + QLatin1Char('/') + name + QStringLiteral(".sqlite");
}

QString RegisterSqliteSource(const QString &name) {
    static QStringList registered;
    PrepareTestDataSources();
    QFile::remove(SqliteSourceFile(name));
    if (!registered.contains(name)) {
        registered.append(name);
        QFile ini(SourcesFolder() + QStringLiteral("/odbc.ini"));
        if (!ini.open(QIODevice::Append)) {
            std::abort();
        }
        ini.write(QStringLiteral("\n[%1]\nDriver=TessorySQLite3\nDatabase=%2\nStepAPI=1\n")
                      .arg(name, SqliteSourceFile(name))
                      .toUtf8());
    }
    return name;
}

std::optional<QString> RegisterPostgresSourceAt(const QString &name, quint16 port) {
    if (!SourceFor(TestDriver::Postgres)) {
        return std::nullopt;
    }
    QFile ini(SourcesFolder() + QStringLiteral("/odbc.ini"));
    if (!ini.open(QIODevice::Append)) {
        std::abort();
    }
    ini.write(QStringLiteral("\n[%1]\nDriver=TessoryPostgreSQL\nServername=127.0.0.1\nPort=%2\n"
                             "Database=tessory\n")
                  .arg(name)
                  .arg(port)
                  .toUtf8());
    return name;
}

const char *DriverName(TestDriver driver) {
    switch (driver) {
        case TestDriver::Sqlite:
            return "SQLite";
        case TestDriver::Postgres:
            return "PostgreSQL";
        case TestDriver::MariaDb:
            return "MariaDB";
    }
    return "?";
}

bool PostgresRequired() {
    const char *ci = std::getenv("CI");
    return ci && QByteArray(ci) == "true";
}

void PrintTo(TestDriver driver, std::ostream *out) {
    *out << DriverName(driver);
}
