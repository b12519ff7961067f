#include "app/basMain.h"

#include <QApplication>
#include <QFileInfo>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "app/basGlobals.h"
#include "app/frmMain.h"
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

void StartUp(frmMain &mainWindow, const QStringList &files) {
    ReportFailure([&] {
        mainWindow.show();
        ShowConnectDialog(gConnection, &mainWindow, RememberDataSource);
        if (files.isEmpty()) {
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
    const JapaneseQt japanese(app);
    PrepareApplication();
    MessageBoxPresenter presenter;
    clsMsg::setPresenter(&presenter);

    ResetSharedState();
    frmMain mainWindow;
    // The desktop (a file manager, the menu entry's %F) hands over the files to open.
    StartUp(mainWindow, QCoreApplication::arguments().mid(1));
    const int code = QApplication::exec();
    clsMsg::setPresenter(nullptr);
    return code;
}
