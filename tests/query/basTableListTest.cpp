#include <gtest/gtest.h>

#include "query/basTableList.h"

namespace {

TEST(TableList, OnlyTheExactProductNameIsSqlServer) {
    EXPECT_TRUE(IsSqlServer("Microsoft SQL Server"));
    for (const char *other :
         {"microsoft sql server", "Microsoft SQL Server ", "SQLite", "PostgreSQL", ""}) {
        EXPECT_FALSE(IsSqlServer(QString::fromLatin1(other))) << other;
    }
}

TEST(TableList, PickedNamesAreQuotedOnlyWhenTheyMustBe) {
    struct Row {
        const char *name;
        QString table;
        QString query;
    };
    const Row rows[] = {
        {"plain", "Orders", "SELECT * FROM Orders"},
        {"underscore first, digits and signs after", "_t1@#$", "SELECT * FROM _t1@#$"},
        {"Japanese letters", QStringLiteral("受注テーブル"),
         QStringLiteral("SELECT * FROM 受注テーブル")},
        {"space", "Order Details", "SELECT * FROM [Order Details]"},
        {"leading digit", "1st", "SELECT * FROM [1st]"},
        {"hyphen", "a-b", "SELECT * FROM [a-b]"},
        {"closing bracket doubled", "x]y", "SELECT * FROM [x]]y]"},
        {"opening bracket kept", "[x", "SELECT * FROM [[x]"},
        {"variable-like", "@t", "SELECT * FROM [@t]"},
        {"temporary-table-like", "#t", "SELECT * FROM [#t]"},
        {"dollar first", "$t", "SELECT * FROM [$t]"},
        {"reserved word in any case", "order", "SELECT * FROM [order]"},
        {"reserved word upper case", "TABLE", "SELECT * FROM [TABLE]"},
        {"quote character", "it's", "SELECT * FROM [it's]"},
        {"dot", "dbo.t", "SELECT * FROM [dbo.t]"},
        {"full-width space", QStringLiteral("受注　明細"),
         QStringLiteral("SELECT * FROM [受注　明細]")},
        {"empty name", "", "SELECT * FROM []"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TableQueryText(row.table), row.query) << row.name;
    }
}

}  // namespace
