#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sql.h>

#include <optional>

#include "data/resultRows.h"

class ResultSink;
class StatementCancel;

// The first result set of a statement, fetched whole.
struct FetchedResult {
    QStringList names;
    QList<int> types;  // ODBC SQL data types (SQL_INTEGER, SQL_WVARCHAR ...)
    ResultRows rows;
};

// How a streamed run ended.
struct StreamOutcome {
    bool hasResult = false;
    // Without a result set: the rows that the last statement changed (-1 when the driver does
    // not know). With one: -1.
    qint64 rowsAffected = -1;
};

// Runs the SQL text on the connection and fetches its first result set into memory, every value
// as wide text. Results before it that return no rows (row counts of INSERT, UPDATE ...) are
// passed over; results after it are not fetched. Returns nothing when the text returns no result
// set. The calling thread makes every call on the statement; `cancel` stops the run from its
// clock or from another thread, and a run it stopped, at any moment of execution or fetch, ends
// with its failure and never with a partial result. Failures throw DatabaseFailure. A binary
// value comes as two lowercase hex digits a byte.
std::optional<FetchedResult> RunAndFetchFirstResult(SQLHDBC connection, const QString &text,
                                                    StatementCancel &cancel);

// The same run, with the first result set handed to `sink` while it is fetched: its columns
// first, then its rows in segments (ResultSink). A run that the cancel stopped, or that failed,
// throws after whatever rows the sink already took; nothing more is handed over.
StreamOutcome RunAndStreamFirstResult(SQLHDBC connection, const QString &text,
                                      StatementCancel &cancel, ResultSink &sink);
