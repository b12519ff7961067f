#pragma once

#include <QString>
#include <QStringList>

class Connection;

// The table drop-down. On Microsoft SQL Server it holds the user tables as its table query
// returns them; on every other source the tables and views of the driver's catalogue, each as a
// user types it in a query.
inline constexpr char kSqlServerProductName[] = "Microsoft SQL Server";
inline constexpr char kTableListQuery[] =
    "SELECT name FROM sysobjects WHERE type = 'U' ORDER BY name";

// Exact, case-sensitive comparison of a database product name with SQL Server's.
bool IsSqlServer(const QString &productName);

struct TableList {
    bool visible = false;
    // SQL Server: plain table names in the order the server returns them. Otherwise: names as
    // they stand in a query (quoted and qualified where needed), the default schema's first.
    bool sqlServer = false;
    QStringList tables;
};

// What the drop-down shows for `connection`: hidden while the connection is closed; on SQL
// Server (the driver's product name) its user tables, on any other source the catalogue's tables
// and views. A failure while listing is dropped and leaves the names read so far.
TableList ReadTableList(Connection &connection);
// The same with the product name given, for databases that only stand in for SQL Server.
TableList ReadTableList(Connection &connection, const QString &productName);

// True when a run's text holds one of the words CREATE, DROP, ALTER or RENAME, so that the
// tables may have changed and the list is filled anew.
bool MayChangeTables(const QString &text);

// True for a name that SQL Server takes without delimiters: a letter or "_" first, then
// letters, digits, "_", "@", "#" or "$", and not a reserved word.
bool IsRegularIdentifier(const QString &name);

// The name as it must stand in a query: unchanged when regular, else in brackets with every
// "]" doubled.
QString QuoteTableName(const QString &name);

// The text that replaces the editor's when a SQL Server table is picked.
QString TableQueryText(const QString &tableName);
// The text that replaces the editor's when an item of the list (or a name typed into it) is
// picked: on SQL Server as above, on other sources the name as it stands.
QString TableQueryText(const QString &shownName, bool sqlServer);
