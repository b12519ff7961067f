#include "data/batchRun.h"

#include <new>

#include "data/cancelSwitch.h"
#include "data/connection.h"
#include "data/layerFailure.h"
#include "data/resultFetch.h"
#include "data/statementCancel.h"

namespace {

// Runs one batch with its own cancel, which the switch reaches for as long as it runs.
StreamOutcome RunOne(Connection &connection, const QString &batch,
                     std::chrono::milliseconds timeout, CancelSwitch &cancel, BatchRunSink &sink) {
    StatementCancel statement(timeout);
    cancel.Attach(statement);
    try {
        const StreamOutcome outcome =
            RunAndStreamFirstResult(connection.handle(), batch, statement, sink);
        cancel.Detach();
        return outcome;
    } catch (...) {
        cancel.Detach();
        throw;
    }
}

}  // namespace

std::optional<Failure> RunBatches(Connection &connection, const QStringList &batches,
                                  int timeoutSeconds, CancelSwitch &cancel, BatchRunSink &sink) {
    return RunBatches(connection, batches, std::chrono::seconds(timeoutSeconds), cancel, sink);
}

std::optional<Failure> RunBatches(Connection &connection, const QStringList &batches,
                                  std::chrono::milliseconds timeout, CancelSwitch &cancel,
                                  BatchRunSink &sink) {
    try {
        for (int index = 0; index < batches.size(); ++index) {
            if (cancel.Requested()) {
                return CancelFailure(CancelReason::Requested);
            }
            sink.BatchStarted(index);
            const QString &batch = batches.at(index);
            if (batch.isEmpty()) {
                continue;
            }
            if (connection.State() == Connection::StateClosed) {
                return MakeLayerFailure(LayerFailureNumber::NoConnection);
            }
            // Ends the connection's own transaction, if one was left open, as a new batch did
            // when the recordset was closed before it; its failure does not stop the batch.
            IgnoreFailure([&] { connection.CommitTrans(); });
            const StreamOutcome outcome = RunOne(connection, batch, timeout, cancel, sink);
            sink.BatchEnded(index, outcome.hasResult, outcome.rowsAffected);
        }
    } catch (const DatabaseFailure &failure) {
        return failure;
    } catch (const Failure &failure) {
        return failure;
    } catch (const std::bad_alloc &) {
        return MakeFailure(FailureNumber::OutOfMemory);
    }
    return std::nullopt;
}
