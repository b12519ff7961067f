#include <gtest/gtest.h>

#include "data/basTableList.h"
#include "data/catalogNames.h"

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

namespace {

CatalogNaming PostgresLike() {
    CatalogNaming naming;
    naming.quote = QStringLiteral("\"");
    naming.foldsToLower = true;
    naming.catalogSeparator = QStringLiteral(".");
    naming.hasSchemas = true;
    naming.hasCatalogs = true;
    naming.currentCatalog = QStringLiteral("shop");
    naming.defaultSchema = QStringLiteral("public");
    return naming;
}

CatalogNaming MariaDbLike() {
    CatalogNaming naming;
    naming.quote = QStringLiteral("`");
    naming.keywords = QStringList{QStringLiteral("DUAL"), QStringLiteral("DATABASE")};
    naming.catalogSeparator = QStringLiteral(".");
    naming.hasCatalogs = true;
    naming.currentCatalog = QStringLiteral("shop");
    return naming;
}

CatalogNaming SqliteLike() {
    CatalogNaming naming;
    naming.quote = QStringLiteral("\"");
    return naming;
}

CatalogNaming UpperFolding() {
    CatalogNaming naming = SqliteLike();
    naming.foldsToUpper = true;
    return naming;
}

CatalogNaming WithoutQuotes() {
    CatalogNaming naming = SqliteLike();
    naming.quote.clear();
    return naming;
}

TEST(TableList, CatalogueNamesAreQuotedOnlyWhereTheSourceNeedsIt) {
    struct Row {
        const char *name;
        CatalogNaming naming;
        QString table;
        QString typed;
    };
    const Row rows[] = {
        {"plain", PostgresLike(), "orders", "orders"},
        {"upper case on a lower-folding source", PostgresLike(), "Orders", "\"Orders\""},
        {"upper case where case is kept", MariaDbLike(), "Orders", "Orders"},
        {"lower case on an upper-folding source", UpperFolding(), "orders", "\"orders\""},
        {"upper case on an upper-folding source", UpperFolding(), "ORDERS", "ORDERS"},
        {"space", SqliteLike(), "my table", "\"my table\""},
        {"space, back-ticks", MariaDbLike(), "my table", "`my table`"},
        {"leading digit", SqliteLike(), "1st", "\"1st\""},
        {"underscore first", SqliteLike(), "_t1", "_t1"},
        {"dollar after the first", SqliteLike(), "a$b", "a$b"},
        {"dollar first", SqliteLike(), "$a", "\"$a\""},
        {"hyphen", SqliteLike(), "a-b", "\"a-b\""},
        {"ODBC reserved word", SqliteLike(), "select", "\"select\""},
        {"reserved word of common servers", PostgresLike(), "limit", "\"limit\""},
        {"the driver's reserved word", MariaDbLike(), "dual", "`dual`"},
        {"another driver's word", PostgresLike(), "dual", "dual"},
        {"Japanese", PostgresLike(), QStringLiteral("受注"), QStringLiteral("受注")},
        {"full-width digit after a letter", PostgresLike(), QStringLiteral("受注１"),
         QStringLiteral("受注１")},
        {"full-width space", PostgresLike(), QStringLiteral("受注　明細"),
         QStringLiteral("\"受注　明細\"")},
        {"beyond the first plane", PostgresLike(), QStringLiteral("𠮷野家"),
         QStringLiteral("\"𠮷野家\"")},
        {"quote character doubled", PostgresLike(), "a\"b", "\"a\"\"b\""},
        {"back-tick doubled", MariaDbLike(), "a`b", "`a``b`"},
        {"other quote kept", MariaDbLike(), "a\"b", "`a\"b`"},
        {"empty name", SqliteLike(), "", "\"\""},
        {"source without quoted names", WithoutQuotes(), "my table", "my table"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TypedName(row.table, row.naming), row.typed) << row.name;
    }
}

TEST(TableList, DefaultSchemaFirstThenOthersQualifiedSystemSchemasLeftOut) {
    struct Row {
        const char *name;
        CatalogNaming naming;
        QList<CatalogTable> tables;
        QStringList shown;
    };
    CatalogNaming unknownDefault = PostgresLike();
    unknownDefault.defaultSchema.clear();
    const Row rows[] = {
        {"schemas",
         PostgresLike(),
         {{"shop", "public", "b"},
          {"shop", "other", "x"},
          {"shop", "pg_catalog", "pg_class"},
          {"shop", "information_schema", "tables"},
          {"shop", "public", "my t"},
          {"shop", "Zeta", "t"},
          {"shop", "public", "A"}},
         {"\"A\"", "b", "\"my t\"", "other.x", "\"Zeta\".t"}},
        {"default schema unknown: every name qualified",
         unknownDefault,
         {{"shop", "public", "b"}, {"shop", "other", "a"}},
         {"other.a", "\"public\".b"}},  // PUBLIC is an ODBC reserved word
        {"databases in the part of schemas",
         MariaDbLike(),
         {{"archive", "", "orders"},
          {"shop", "", "orders"},
          {"mysql", "", "user"},
          {"performance_schema", "", "accounts"},
          {"sys", "", "version"},
          {"shop", "", "Customers"},
          {"old data", "", "t"}},
         {"Customers", "orders", "archive.orders", "`old data`.t"}},
        {"one database",
         SqliteLike(),
         {{"", "", "b"}, {"", "", "B"}, {"", "", "a"}, {"", "", "order"}},
         {"a", "B", "b", "\"order\""}},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TypedTableNames(row.tables, row.naming), row.shown) << row.name;
    }
}

TEST(TableList, PickedCatalogueNamesStandAsTheyAreShown) {
    EXPECT_EQ(TableQueryText(QStringLiteral("\"my table\""), false),
              QStringLiteral("SELECT * FROM \"my table\""));
    EXPECT_EQ(TableQueryText(QStringLiteral("other.x"), false),
              QStringLiteral("SELECT * FROM other.x"));
    // A SQL Server list holds plain names and quotes them when picked.
    EXPECT_EQ(TableQueryText(QStringLiteral("my table"), true),
              QStringLiteral("SELECT * FROM [my table]"));
}

TEST(TableList, RunsThatMayChangeTablesAreToldByTheirWords) {
    struct Row {
        const char *name;
        const char *text;
        bool changes;
    };
    const Row rows[] = {
        {"create", "create table t (a int)", true},
        {"drop in a later batch", "INSERT INTO t VALUES (1)\r\nGO\r\nDrop View v", true},
        {"alter", "ALTER TABLE t ADD b int", true},
        {"rename", "RENAME TABLE a TO b", true},
        {"select", "SELECT * FROM t", false},
        {"part of a longer word", "SELECT created_at, dropped FROM altered", false},
        {"empty", "", false},
        // A simple word test: a word in a comment counts too, and costs one refill.
        {"in a comment", "-- drop later\r\nSELECT 1", true},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(MayChangeTables(QString::fromUtf8(row.text)), row.changes) << row.name;
    }
}

}  // namespace
