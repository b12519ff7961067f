#include "query/basTableList.h"
#include "tests/data/databaseTest.h"

namespace {

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

TEST_P(TableListTest, OtherDatabasesHideTheList) {
    // The driver's own product name.
    EXPECT_FALSE(ReadTableList(connection).visible);
    EXPECT_FALSE(ReadTableList(connection, QStringLiteral("SQLite")).visible);
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
