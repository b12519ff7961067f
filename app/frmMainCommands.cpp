// The command handlers of the main window: each hands its command to the procedure that
// carries it out.
#include <QStatusBar>

#include "app/basGlobals.h"
#include "app/failure.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "data/frmConnect.h"
#include "editor/frmSQL.h"
#include "query/basExec.h"
#include "query/basNavigation.h"
#include "query/basRecordSet.h"
#include "query/basTableList.h"

namespace {
const QString kMessage = QStringLiteral("MESSAGE");
const QString kDsn = QStringLiteral("DSN");
}  // namespace

void frmMain::mnuFileConnect_Click() {
    IgnoreFailure([&] { SetPanelText(kMessage, QString()); });
    IgnoreFailure([&] {
        if (frmSQL *doc = ActiveDoc()) {
            CloseRecordSet(doc->RecordSet());
        }
    });
    const QString before = gConnection.ConnectionString();
    ShowConnectDialog(this);
    IgnoreFailure([&] { SetPanelText(kDsn, gDataSourceName); });
    if (gConnection.ConnectionString() != before) {
        IgnoreFailure([&] { SetCboTable(); });
    }
}

void frmMain::mnuQryExec_Click() {
    bool ran = false;
    const bool noFailure = ReportFailure([&] {
        SetPanelText(kMessage, QStringLiteral("クエリ バッチ実行中･･･"));
        statusBar()->repaint();
        frmSQL *doc = ActiveDoc();
        ran = ExecBatches(doc);
        RefreshTableListAfterRun(doc);
        if (ran) {
            doc->BindGrid();
        }
    });
    SetPanelText(kMessage, noFailure && ran
                               ? QStringLiteral("クエリ バッチが完了しました。")
                               : QStringLiteral("クエリ バッチはエラーで完了しました。"));
}

void frmMain::RefreshTableListAfterRun(frmSQL *doc) {
    // Batches before a failing one have run, so a failed run may have changed tables too.
    if (doc && gConnection.State() == Connection::StateOpen && MayChangeTables(TextToRun(*doc))) {
        IgnoreFailure([&] { SetCboTable(); });
    }
}

void frmMain::tlbGrid_ButtonClick(const QString &key) {
    if (frmSQL *doc = ActiveDoc()) {
        NavigateRecordset(doc->RecordSet(), key);
    }
}

void frmMain::mnuHelpVersion_Click() {
    frmAbout dialog(this);
    dialog.exec();
}
