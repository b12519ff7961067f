#include "data/basTableList.h"
#include "data/catalogNames.h"
#include "tests/data/databaseTest.h"

namespace {

// ---- Every source but SQL Server: the driver's catalogue ----

// How each driver writes the names of the test, as measured.
struct CatalogExpectation {
    const char *quote;      // the identifier quote character
    bool foldsToLower;      // unquoted names are stored in lower case
    const char *schemaDdl;  // makes the second schema %1 (empty: the driver lists one database)
};

const CatalogExpectation &ExpectationFor(TestDriver driver) {
    // PostgreSQL folds unquoted names to lower case; MariaDB quotes with back-ticks and its
    // databases are its schemas; the SQLite driver lists the main database only (its catalogue
    // call takes no catalogue or schema, so attached databases never appear).
    static const CatalogExpectation sqlite{"\"", false, ""};
    static const CatalogExpectation postgres{"\"", true, "CREATE SCHEMA %1"};
    static const CatalogExpectation mariadb{"`", false, "CREATE DATABASE %1"};
    switch (driver) {
        case TestDriver::Postgres:
            return postgres;
        case TestDriver::MariaDb:
            return mariadb;
        case TestDriver::Sqlite:
            break;
    }
    return sqlite;
}

class CatalogTableListTest : public DatabaseTest {
protected:
    const CatalogExpectation &expected() const { return ExpectationFor(GetParam()); }
    QString Quoted(const QString &name) const {
        const QString quote = QString::fromLatin1(expected().quote);
        return quote + name + quote;
    }
    // Makes a table of one row that holds `marker`.
    void Create(const QString &typed, const QString &marker) {
        Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(typed));
        Exec(QStringLiteral("CREATE TABLE %1 (marker varchar(40))").arg(typed));
        Exec(QStringLiteral("INSERT INTO %1 VALUES ('%2')").arg(typed, marker));
    }
    // Runs the query that picking `shown` inserts and returns its one value.
    QString PickAndRun(const QString &shown) {
        Recordset rs;
        rs.Open(TableQueryText(shown, false), connection);
        EXPECT_EQ(rs.RecordCount(), 1) << shown.toStdString();
        return rs.RecordCount() > 0 ? rs.Value(0) : QString();
    }
};

TEST_P(CatalogTableListTest, ListsTablesAndViewsAsTheyAreTypedAndEachPickRuns) {
    // Short names: servers limit a name to 63 or 64 bytes.
    const QString stem = QStringLiteral("tl1");
    struct Row {
        const char *name;
        QString table;  // the name as stored
        QString shown;  // the name as the list shows it
    };
    const QString plain = stem + QStringLiteral("_plain");
    const QString spaced = stem + QStringLiteral(" with space");
    const QString japanese = QStringLiteral("受注") + stem;
    const QString mixed = QStringLiteral("Mixed") + stem;
    const QString reserved = QStringLiteral("order");
    const Row rows[] = {
        {"plain", plain, plain},
        {"space", spaced, Quoted(spaced)},
        {"Japanese", japanese, japanese},
        {"mixed case", mixed, expected().foldsToLower ? Quoted(mixed) : mixed},
        {"reserved word", reserved, Quoted(reserved)},
    };
    for (const Row &row : rows) {
        Create(Quoted(row.table), QString::fromLatin1(row.name));
    }
    const QString view = QStringLiteral("v_") + stem;
    Exec(QStringLiteral("DROP VIEW IF EXISTS %1").arg(view));
    Exec(QStringLiteral("CREATE VIEW %1 AS SELECT 'view' AS marker").arg(view));

    const TableList list = ReadTableList(connection);
    ASSERT_TRUE(list.visible);
    EXPECT_FALSE(list.sqlServer);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(list.tables.contains(row.shown))
            << row.shown.toStdString() << " not in " << list.tables.join(", ").toStdString();
        EXPECT_EQ(PickAndRun(row.shown), QString::fromLatin1(row.name));
    }
    EXPECT_TRUE(list.tables.contains(view));
    EXPECT_EQ(PickAndRun(view), QStringLiteral("view"));
    Exec(QStringLiteral("DROP TABLE %1").arg(Quoted(reserved)));
}

TEST_P(CatalogTableListTest, SecondSchemaFollowsTheDefaultOneQualifiedAndSystemOnesStayOut) {
    if (QLatin1String(expected().schemaDdl).isEmpty()) {
        GTEST_SKIP() << "the driver lists the main database only";
    }
    const QString own = QStringLiteral("tl2_own");
    const QString schema = QStringLiteral("tl2_schema");
    Exec(QStringLiteral("DROP %1 IF EXISTS %2")
             .arg(postgres() ? QStringLiteral("SCHEMA") : QStringLiteral("DATABASE"), schema) +
         (postgres() ? QStringLiteral(" CASCADE") : QString()));
    Exec(QString::fromLatin1(expected().schemaDdl).arg(schema));
    Create(own, QStringLiteral("own"));
    Create(schema + QStringLiteral(".detail"), QStringLiteral("second"));
    Create(schema + QLatin1Char('.') + Quoted(QStringLiteral("明細 2")),
           QStringLiteral("second 2"));

    const TableList list = ReadTableList(connection);
    const QString second = schema + QStringLiteral(".detail");
    const QString secondSpaced = schema + QLatin1Char('.') + Quoted(QStringLiteral("明細 2"));
    const qsizetype ownAt = list.tables.indexOf(own);
    const qsizetype secondAt = list.tables.indexOf(second);
    ASSERT_GE(ownAt, 0) << list.tables.join(", ").toStdString();
    ASSERT_GE(secondAt, 0) << list.tables.join(", ").toStdString();
    EXPECT_LT(ownAt, secondAt);
    EXPECT_EQ(list.tables.value(secondAt + 1), secondSpaced) << "a schema's names by name";
    EXPECT_EQ(PickAndRun(second), QStringLiteral("second"));
    EXPECT_EQ(PickAndRun(secondSpaced), QStringLiteral("second 2"));
    EXPECT_EQ(PickAndRun(own), QStringLiteral("own"));
    const QStringList system = {"information_schema", "pg_catalog", "mysql", "performance_schema",
                                "sys"};
    for (const QString &name : list.tables) {
        EXPECT_FALSE(system.contains(name.section(QLatin1Char('.'), 0, 0))) << name.toStdString();
    }
    Exec(QStringLiteral("DROP %1 %2")
             .arg(postgres() ? QStringLiteral("SCHEMA") : QStringLiteral("DATABASE"), schema) +
         (postgres() ? QStringLiteral(" CASCADE") : QString()));
}

TEST_P(CatalogTableListTest, ClosedConnectionHidesTheList) {
    connection.Close();
    EXPECT_FALSE(ReadTableList(connection).visible);
}

TESSORY_ALL_DRIVERS(CatalogTableListTest);

// ---- SQL Server ----

// SQLite stands in for SQL Server: a view named sysobjects offers the table query, and the
// product name is given instead of the driver's.
class TableListTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        for (const char *name : {"a", "B", "c", "my table", "v_only"}) {
            Exec(QStringLiteral("DROP VIEW IF EXISTS [%1]").arg(QLatin1String(name)));
            Exec(QStringLiteral("DROP TABLE IF EXISTS [%1]").arg(QLatin1String(name)));
        }
        Exec(QStringLiteral("DROP VIEW IF EXISTS sysobjects"));
        for (const char *name : {"c", "a", "B", "my table"}) {
            Exec(QStringLiteral("CREATE TABLE [%1] (id integer)").arg(QLatin1String(name)));
        }
        Exec(QStringLiteral("INSERT INTO [my table] VALUES (7)"));
        Exec(QStringLiteral("CREATE VIEW v_only AS SELECT 1 AS one"));
        Exec(
            QStringLiteral("CREATE VIEW sysobjects AS SELECT name, CASE type WHEN 'table' THEN "
                           "'U' ELSE 'V' END AS type FROM sqlite_master "
                           "WHERE type IN ('table', 'view')"));
    }
};

TEST_P(TableListTest, SqlServerListsItsUserTablesInTheServersOrder) {
    const TableList list = ReadTableList(connection, QStringLiteral("Microsoft SQL Server"));
    EXPECT_TRUE(list.visible);
    // ORDER BY name under SQLite's binary collation: upper case first; views left out.
    EXPECT_EQ(list.tables, QStringList({"B", "a", "c", "my table"}));
}

TEST_P(TableListTest, PickedOddNameGivesAQueryThatRuns) {
    const TableList list = ReadTableList(connection, QStringLiteral("Microsoft SQL Server"));
    ASSERT_TRUE(list.tables.contains("my table"));
    Recordset rs;
    rs.Open(TableQueryText("my table"), connection);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.CellText(0, 0), QStringView(u"7"));
}

TEST_P(TableListTest, OtherDatabasesListTheirCatalogueInstead) {
    // The driver's own product name.
    for (const TableList &list :
         {ReadTableList(connection), ReadTableList(connection, QStringLiteral("SQLite"))}) {
        EXPECT_TRUE(list.visible);
        EXPECT_FALSE(list.sqlServer);
        EXPECT_EQ(list.tables,
                  QStringList({"a", "B", "c", "\"my table\"", "sysobjects", "v_only"}));
    }
}

TEST_P(TableListTest, ClosedConnectionHidesTheList) {
    connection.Close();
    EXPECT_FALSE(ReadTableList(connection, QStringLiteral("Microsoft SQL Server")).visible);
    Connection never;
    EXPECT_FALSE(ReadTableList(never).visible);
}

TEST_P(TableListTest, FailingTableQueryShowsAnEmptyList) {
    Exec(QStringLiteral("DROP VIEW sysobjects"));
    const TableList list = ReadTableList(connection, QStringLiteral("Microsoft SQL Server"));
    EXPECT_TRUE(list.visible);
    EXPECT_TRUE(list.tables.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, TableListTest, testing::Values(TestDriver::Sqlite), ParamName);

}  // namespace
