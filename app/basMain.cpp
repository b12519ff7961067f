#include "app/basMain.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/basGlobals.h"
#include "app/frmMain.h"
#include "app/sessionKeeper.h"
#include "core/clsMsg.h"
#include "core/failure.h"
#include "core/settings.h"
#include "ui/frmConnect.h"
#include "ui/icons.h"
#include "ui/japaneseQt.h"
#include "ui/messageBoxPresenter.h"

void EnsureUtf8CharacterLocale() {
    const char *current = std::setlocale(LC_CTYPE, "");
    if (current && (std::strstr(current, "UTF-8") || std::strstr(current, "utf8"))) {
        return;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
    // Qt sets the locale again from the environment when it starts: let it find UTF-8 there.
    setenv("LC_CTYPE", "C.UTF-8", 1);
}

void PrepareProcess() {
    EnsureUtf8CharacterLocale();
    JapaneseQt::UseJapaneseFormats();
}

void PrepareApplication() {
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setWindowIcon(ProgramIcon());
    // Lets the desktop match the windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tessory.Tessory"));
}

void ResetSharedState() {
    IgnoreFailure([] { gConnection.Close(); });
    gCommand.setActiveConnection(nullptr);
    gDataSourceName.clear();
    gDocCount = 0;
    gSearchWord.clear();
    gSearchIgnoreCase = false;
}

void StartUp(frmMain &mainWindow, const QStringList &files, SessionKeeper *session) {
    ReportFailure([&] {
        mainWindow.show();
        ShowConnectDialog(gConnection, &mainWindow, &mainWindow.Worker(), RememberDataSource);
        const int restored = session ? session->Restore() : 0;
        if (files.isEmpty() && restored == 0) {
            mainWindow.LoadNewDoc();
        }
        for (const QString &file : files) {
            mainWindow.LoadSqlFile(mainWindow.LoadNewDoc(), QFileInfo(file).absoluteFilePath());
        }
        mainWindow.SetCboTable();
        mainWindow.ShowDataSource();
    });
}

int Main(int argc, char *argv[]) {
    PrepareProcess();
    QApplication app(argc, argv);
    return RunProgram(app);
}

int RunProgram(QApplication &app) {
    const JapaneseQt japanese(app);
    PrepareApplication();
    MessageBoxPresenter presenter;
    clsMsg::setPresenter(&presenter);

    ResetSharedState();
    frmMain mainWindow;
    // Without a usable session folder the program still runs; it only cannot keep the windows.
    std::unique_ptr<SessionKeeper> session;
    if (!ReportFailure([&] {
            session = std::make_unique<SessionKeeper>(mainWindow, SessionKeeper::DefaultFolder());
        })) {
        // No closed windows are kept either: the command to reopen one has nothing to do.
        if (auto *reopen = mainWindow.findChild<QAction *>(QStringLiteral("mnuFileReopenClosed"))) {
            reopen->setEnabled(false);
        }
    }
    // The desktop (a file manager, the menu entry's %F) hands over the files to open.
    StartUp(mainWindow, QCoreApplication::arguments().mid(1), session.get());
    const int code = QApplication::exec();
    clsMsg::setPresenter(nullptr);
    return code;
}
