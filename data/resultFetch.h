#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sql.h>

#include <optional>

#include "data/cellStore.h"

// The first result set of a statement, fetched whole.
struct FetchedResult {
    QStringList names;
    QList<int> types;  // ODBC SQL data types (SQL_INTEGER, SQL_WVARCHAR ...)
    CellStore cells;
};

// Runs the SQL text on the connection and fetches its first result set into memory, every value
// as wide text, long values in pieces. Results before it that return no rows (row counts of
// INSERT, UPDATE ...) are passed over; results after it are not fetched. Returns nothing when
// the text returns no result set. timeoutSeconds > 0 limits the whole run: the driver's own
// query time-out where it keeps one, otherwise a watchdog that cancels the statement.
// Failures throw DatabaseFailure; a time-out says so in its description.
std::optional<FetchedResult> RunAndFetchFirstResult(SQLHDBC connection, const QString &text,
                                                    int timeoutSeconds);
