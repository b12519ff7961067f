// The main window's work on the connection's worker thread: the run command and its cancel,
// the run's progress in the status bar, the table list, and a driver that stops answering.
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>

#include "app/basExec.h"
#include "app/basGlobals.h"
#include "app/frmMain.h"
#include "app/queryRun.h"
#include "core/clsMsg.h"
#include "core/failure.h"
#include "data/basTableList.h"
#include "engines/basBatch.h"
#include "ui/frmSQL.h"
#include "ui/runProgress.h"

namespace {

using namespace std::chrono_literals;

const QString kMessage = QStringLiteral("MESSAGE");
const QString kProgress = QStringLiteral("PROGRESS");
// How often the progress panel follows a run.
constexpr auto kProgressEvery = 200ms;
// How long a cancelled run may take to stop before the user is asked to give up the connection.
constexpr auto kAnswerWithin = 5s;

}  // namespace

bool frmMain::Busy() const {
    return (run_ && !run_->Finished()) || exportCancel_;
}

bool frmMain::Working() const {
    return Busy() || worker_.Busy();
}

bool frmMain::WaitUntilIdle(std::chrono::milliseconds limit) {
    if (Working()) {
        QEventLoop loop;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!Working()) {
                loop.quit();
            }
        });
        poll.start(5ms);
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !Working();
}

void frmMain::mnuQryExec_Click() {
    StartRun(ActiveDoc(), [this](frmSQL *doc, bool) { RefreshTableListAfterRun(doc); });
}

void frmMain::mnuQryCancel_Click() {
    if (run_ && !run_->Finished()) {
        run_->Cancel();  // starts the wait for the driver's answer
    } else if (exportCancel_) {
        *exportCancel_ = true;
    } else if (worker_.Busy()) {
        worker_.Cancel();
        stuckTimer_->start();
    }
}

void frmMain::setUpRunTimers() {
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressEvery);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (run_) {
            SetPanelText(kProgress, RunProgressText(run_->Progress()));
        }
    });
    stuckTimer_ = new QTimer(this);
    stuckTimer_->setSingleShot(true);
    stuckTimer_->setInterval(kAnswerWithin);
    connect(stuckTimer_, &QTimer::timeout, this, &frmMain::askToDropConnection);
}

bool frmMain::StartRun(frmSQL *doc, std::function<void(frmSQL *doc, bool ran)> then) {
    if (Busy()) {
        return false;
    }
    SetPanelText(kMessage, RunStatus::Running);
    SetPanelText(kProgress, QString());
    std::optional<QStringList> batches;
    const bool noFailure = ReportFailure([&] {
        const std::optional<QString> text = doc ? TakeTextToRun(*doc) : std::nullopt;
        if (text) {
            batches = SplitBatches(*text);
        }
    });
    if (!noFailure || !batches) {
        SetPanelText(kMessage, RunStatus::Failed);
        return false;
    }
    auto *run = new QueryRun(worker_, gConnection, *doc, *batches, gCommand.CommandTimeout(), this);
    run_ = run;
    connect(run, &QueryRun::cancelRequested, stuckTimer_, qOverload<>(&QTimer::start));
    connect(run, &QueryRun::finished, this, [this, run, then = std::move(then)] {
        progressTimer_->stop();
        stuckTimer_->stop();
        run_ = nullptr;
        run->deleteLater();
        EnabledControls();
        SetPanelText(kProgress, RunProgressText(run->Progress()));
        // The failing batch's error, then the run's end in the status bar.
        if (run->RunFailure()) {
            clsMsg().ShowError(run->RunFailure()->description);
        }
        SetPanelText(kMessage, run->Succeeded() ? RunStatus::Done : RunStatus::Failed);
        then(run->Doc(), run->Succeeded());
    });
    run->Start();
    progressTimer_->start();
    EnabledControls();
    return true;
}

void frmMain::askToDropConnection() {
    if (!Working()) {
        return;
    }
    const short answer =
        clsMsg().ShowQuestion(QStringLiteral("データベースが応答しません。接続を切断しますか？"));
    if (!Working()) {
        return;  // it stopped while the question was open
    }
    if (answer != MessageResult::Yes) {
        stuckTimer_->start();  // asked again if it still does not stop
        return;
    }
    leaveSilentDriver();
    ShowDataSource();
    showTableList(TableList{});
    EnabledControls();
}

void frmMain::leaveSilentDriver() {
    // The call that does not return keeps the old connection's handles; the program goes on
    // without them, on a fresh worker thread.
    worker_.Abandon();
    gConnection.Abandon();
    if (run_) {
        run_->GiveUp();
    }
}

void frmMain::SetCboTable() {
    auto list = std::make_shared<std::optional<TableList>>();
    worker_.Start(
        [list](JobContext &) { IgnoreFailure([&] { *list = ReadTableList(gConnection); }); },
        [this, list] {
            if (*list) {
                showTableList(**list);
            }
        });
}

void frmMain::showTableList(const TableList &list) {
    cboTableAction_->setVisible(list.visible);
    if (list.visible) {
        tableListSqlServer_ = list.sqlServer;
        cboTable_->clear();
        cboTable_->addItems(list.tables);
    }
}

void frmMain::RefreshTableListAfterRun(frmSQL *doc) {
    // Batches before a failing one have run, so a failed run may have changed tables too.
    if (doc && gConnection.State() == Connection::StateOpen && MayChangeTables(TextToRun(*doc))) {
        SetCboTable();
    }
}
