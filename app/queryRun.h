#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QShortcut>
#include <QStringList>

#include <memory>
#include <optional>

#include "core/failure.h"
#include "ui/frmSQL.h"
#include "ui/runProgress.h"

class CancelSwitch;
class CellStore;
class Connection;
class ConnectionWorker;
class WidestCells;

// One run of a query window's batches on the connection's worker thread. The window's recordset
// takes each batch's first result while its rows arrive, and the grid grows with them; the
// window shows the busy pointer, and Esc in it cancels. The user-interface thread only starts
// the run, takes its reports and paints. Batches go in turn; the first that fails ends the run;
// a cancel stops the batch that runs and sends no further one.
class QueryRun : public QObject {
    Q_OBJECT

public:
    QueryRun(ConnectionWorker &worker, Connection &connection, frmSQL &doc, QStringList batches,
             int timeoutSeconds, QObject *parent = nullptr);
    ~QueryRun() override;

    void Start();
    // Stops the batch that runs now and every later one. The rows read so far stay in the grid.
    void Cancel();
    bool CancelRequested() const;
    // Ends the run here without waiting for the worker (whose connection has been given up):
    // it counts as cancelled.
    void GiveUp();

    // The window whose text runs; nullptr once it has closed.
    frmSQL *Doc() const { return doc_; }
    bool Finished() const { return finished_; }
    // How far the run has come: rows and time, and at the end how it ended.
    RunProgress Progress() const;
    // True when every batch ran.
    bool Succeeded() const { return finished_ && !failure_ && !cancelled_; }
    // The failure that ended the run (not the user's cancel); its box is the caller's to show.
    const std::optional<Failure> &RunFailure() const { return failure_; }

signals:
    // The user asked for the run to stop.
    void cancelRequested();
    // The run has ended: every batch ran, one failed (RunFailure), or it was cancelled.
    void finished();

private:
    class Reports;
    void onBatchStarted();
    void onColumns(const QStringList &names, const QList<int> &types);
    void onRows(CellStore &rows, const WidestCells &widest);
    void onBatchEnded(bool hasResult, qint64 rowsAffected);
    void finish(std::optional<Failure> failure, bool givenUp = false);

    ConnectionWorker &worker_;
    Connection &connection_;
    QPointer<frmSQL> doc_;
    QStringList batches_;
    int timeoutSeconds_;
    std::shared_ptr<CancelSwitch> cancel_;
    QPointer<QShortcut> escape_;  // a child of the window, gone with it
    QElapsedTimer clock_;
    qint64 elapsedMs_ = 0;
    bool hasResult_ = false;
    qint64 rowsAffected_ = -1;
    bool cancelled_ = false;
    bool finished_ = false;
    std::optional<Failure> failure_;
};
