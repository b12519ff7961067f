#pragma once

#include <QString>
#include <QStringList>

class Connection;

// The table drop-down: offered only on Microsoft SQL Server, filled with its user tables.
inline constexpr char kSqlServerProductName[] = "Microsoft SQL Server";
inline constexpr char kTableListQuery[] =
    "SELECT name FROM sysobjects WHERE type = 'U' ORDER BY name";

// Exact, case-sensitive comparison of a database product name with SQL Server's.
bool IsSqlServer(const QString &productName);

struct TableList {
    bool visible = false;
    QStringList tables;  // in the order the server returns them
};

// What the drop-down shows for `connection`: hidden unless the connection is open and its
// database product (the driver's name for it) is SQL Server; then the user tables. A failure
// while listing is dropped and leaves the names read so far.
TableList ReadTableList(Connection &connection);
// The same with the product name given, for databases that only stand in for SQL Server.
TableList ReadTableList(Connection &connection, const QString &productName);

// True for a name that SQL Server takes without delimiters: a letter or "_" first, then
// letters, digits, "_", "@", "#" or "$", and not a reserved word.
bool IsRegularIdentifier(const QString &name);

// The name as it must stand in a query: unchanged when regular, else in brackets with every
// "]" doubled.
QString QuoteTableName(const QString &name);

// The text that replaces the editor's when a table is picked.
QString TableQueryText(const QString &tableName);
