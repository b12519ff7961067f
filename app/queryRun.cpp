#include "app/queryRun.h"

#include <QShortcut>

#include "data/batchRun.h"
#include "data/cancelSwitch.h"
#include "data/connectionWorker.h"
#include "data/recordset.h"
#include "data/widestCells.h"
#include "ui/frmSQL.h"

// The run's reports, made on the worker thread and each posted to the run on the
// user-interface thread, in order.
class QueryRun::Reports final : public BatchRunSink {
public:
    Reports(JobContext &context, QueryRun *run) : context_(context), run_(run) {}

    void BatchStarted(int) override {
        context_.Post([run = run_] { run->onBatchStarted(); });
    }
    void Columns(const QStringList &names, const QList<int> &types) override {
        columns_ = int(names.size());
        context_.Post([run = run_, names, types] { run->onColumns(names, types); });
    }
    // The grid's column widths need the widest cell of each column: it is found here, on the
    // worker, so that the grid only measures one cell a column.
    void Rows(CellStore rows) override {
        auto widest = std::make_shared<WidestCells>();
        widest->Reset(columns_);
        widest->Add(rows);
        auto held = std::make_shared<CellStore>(std::move(rows));
        context_.Post([run = run_, held, widest] { run->onRows(*held, *widest); });
    }
    void BatchEnded(int, bool hasResult, qint64 rowsAffected) override {
        context_.Post(
            [run = run_, hasResult, rowsAffected] { run->onBatchEnded(hasResult, rowsAffected); });
    }

private:
    JobContext &context_;
    QueryRun *run_;
    int columns_ = 0;
};

QueryRun::QueryRun(ConnectionWorker &worker, Connection &connection, frmSQL &doc,
                   QStringList batches, int timeoutSeconds, QObject *parent)
    : QObject(parent),
      worker_(worker),
      connection_(connection),
      doc_(&doc),
      batches_(std::move(batches)),
      timeoutSeconds_(timeoutSeconds),
      cancel_(std::make_shared<CancelSwitch>()) {}

QueryRun::~QueryRun() {
    if (doc_) {
        doc_->ShowBusy(false);
    }
}

void QueryRun::Start() {
    clock_.start();
    doc_->ShowBusy(true);
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), doc_, this, &QueryRun::Cancel,
                            Qt::WidgetWithChildrenShortcut);
    auto outcome = std::make_shared<std::optional<Failure>>();
    worker_.Start(
        [this, outcome, batches = batches_, timeout = timeoutSeconds_,
         cancel = cancel_](JobContext &context) {
            Reports reports(context, this);
            *outcome = RunBatches(connection_, batches, timeout, *cancel, reports);
        },
        [this, outcome] { finish(*outcome); });
}

void QueryRun::Cancel() {
    if (!finished_ && !cancel_->Requested()) {
        cancel_->Request();
        emit cancelRequested();
    }
}

bool QueryRun::CancelRequested() const {
    return cancel_->Requested();
}

void QueryRun::GiveUp() {
    if (!finished_) {
        cancel_->Request();
        finish(std::nullopt, true);
    }
}

RunProgress QueryRun::Progress() const {
    RunProgress progress;
    progress.hasResult = hasResult_;
    progress.rowsAffected = rowsAffected_;
    progress.elapsedMs = finished_ ? elapsedMs_ : clock_.elapsed();
    if (hasResult_ && doc_ && doc_->RecordSet().State() == Recordset::StateOpen) {
        progress.rows = doc_->RecordSet().RecordCount();
    }
    if (finished_) {
        progress.state = cancelled_ ? RunProgress::State::Cancelled
                         : failure_ ? RunProgress::State::Failed
                                    : RunProgress::State::Done;
    }
    return progress;
}

// The next batch's result replaces the one before, also when it has none.
void QueryRun::onBatchStarted() {
    hasResult_ = false;
    rowsAffected_ = -1;
    if (doc_) {
        Recordset &rs = doc_->RecordSet();
        rs.CancelUpdate();
        IgnoreFailure([&] { rs.Close(); });
    }
}

void QueryRun::onColumns(const QStringList &names, const QList<int> &types) {
    hasResult_ = true;
    if (doc_) {
        doc_->RecordSet().OpenStreaming(names, types);
        doc_->BindGrid();
    }
}

void QueryRun::onRows(CellStore &rows, const WidestCells &widest) {
    if (doc_ && doc_->RecordSet().Fetching()) {
        doc_->RecordSet().AppendRows(std::move(rows));
        doc_->FitColumns(widest);
    }
}

void QueryRun::onBatchEnded(bool hasResult, qint64 rowsAffected) {
    hasResult_ = hasResult;
    rowsAffected_ = rowsAffected;
    if (doc_ && hasResult && doc_->RecordSet().Fetching()) {
        doc_->RecordSet().EndStreaming();
    }
}

void QueryRun::finish(std::optional<Failure> failure, bool givenUp) {
    if (finished_) {
        return;
    }
    finished_ = true;
    elapsedMs_ = clock_.elapsed();
    // A run that ended of itself before the cancel took hold ran whole.
    cancelled_ = givenUp || (failure && cancel_->Requested());
    failure_ = cancelled_ ? std::nullopt : std::move(failure);
    delete escape_.data();
    if (doc_) {
        doc_->ShowBusy(false);
        Recordset &rs = doc_->RecordSet();
        if (rs.State() == Recordset::StateOpen && rs.Fetching()) {
            // A cancelled fetch keeps the rows read so far, marked as cancelled in the status
            // bar; a failed one never leaves a partial result that would look complete.
            if (cancelled_) {
                rs.EndStreaming();
            } else {
                IgnoreFailure([&] { rs.Close(); });
                hasResult_ = false;
            }
        }
    }
    emit finished();
}
