#pragma once

#include <QStringList>

#include <chrono>
#include <optional>

#include "core/failure.h"
#include "data/resultSink.h"

class CancelSwitch;
class Connection;

// What a run of batches reports, in order, on the thread that runs them.
class BatchRunSink : public ResultSink {
public:
    // Batch `index` (0-based) is about to be sent; its result replaces the one before. Called
    // for an empty batch too, which then sends nothing.
    virtual void BatchStarted(int index) = 0;
    // The batch ended: after its result's last rows (Columns and Rows), or without a result set,
    // when `rowsAffected` is the count of rows the statement changed (-1 when the driver does
    // not know it).
    virtual void BatchEnded(int index, bool hasResult, qint64 rowsAffected) = 0;
};

// Sends the batches in turn on the connection, each limited to `timeoutSeconds` from its own
// start (0: no limit), and hands each one's first result set to the sink while it is fetched.
// Stops at the first batch that fails, is cancelled through `cancel` or runs out of time, and
// returns that failure (its message as the user sees it); nothing when every batch ran. A batch
// that was stopped never reaches BatchEnded. Runs on any one thread, which then makes every call
// on the connection until it returns.
std::optional<Failure> RunBatches(Connection &connection, const QStringList &batches,
                                  int timeoutSeconds, CancelSwitch &cancel, BatchRunSink &sink);

// The same with a time limit finer than seconds (0: no limit).
std::optional<Failure> RunBatches(Connection &connection, const QStringList &batches,
                                  std::chrono::milliseconds timeout, CancelSwitch &cancel,
                                  BatchRunSink &sink);
