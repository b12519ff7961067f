// The command handlers of the main window: each hands its command to the procedure that
// carries it out.
#include <QStatusBar>

#include "app/basExec.h"
#include "app/basGlobals.h"
#include "app/frmMain.h"
#include "core/failure.h"
#include "data/basNavigation.h"
#include "data/basRecordSet.h"
#include "data/basTableList.h"
#include "ui/frmAbout.h"
#include "ui/frmConnect.h"
#include "ui/frmSQL.h"

namespace {
const QString kMessage = QStringLiteral("MESSAGE");
const QString kDsn = QStringLiteral("DSN");
}  // namespace

void frmMain::mnuFileConnect_Click() {
    // The connection changes here: a job of the worker that still reads from it (the table
    // list, a moment's work) ends first.
    if (Busy() || !Worker().WaitIdle(std::chrono::seconds(5))) {
        return;
    }
    IgnoreFailure([&] { SetPanelText(kMessage, QString()); });
    IgnoreFailure([&] {
        if (frmSQL *doc = ActiveDoc()) {
            CloseRecordSet(gConnection, doc->RecordSet());
        }
    });
    const QString before = gConnection.ConnectionString();
    // A failed OK has closed the old connection already while the dialog stays open.
    ShowConnectDialog(gConnection, this, &Worker(), [this](const ConnectAttempt &attempt) {
        RememberDataSource(attempt);
        ShowDataSource();
    });
    IgnoreFailure([&] { ShowDataSource(); });
    if (gConnection.ConnectionString() != before) {
        IgnoreFailure([&] { SetCboTable(); });
    }
}

void frmMain::ShowDataSource() {
    const bool open = gConnection.State() != Connection::StateClosed;
    SetPanelText(kDsn, open ? gDataSourceName : QString());
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
