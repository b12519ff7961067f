#include "app/basMain.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "app/basGlobals.h"
#include "app/clsMsg.h"
#include "app/failure.h"
#include "app/frmMain.h"
#include "app/icons.h"
#include "app/japaneseQt.h"
#include "app/messageBoxPresenter.h"
#include "app/settings.h"
#include "data/frmConnect.h"

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
}

void ResetSharedState() {
    IgnoreFailure([] { gConnection.Close(); });
    gCommand.setActiveConnection(nullptr);
    gDataSourceName.clear();
    gDocCount = 0;
    gSearchWord.clear();
    gSearchIgnoreCase = false;
}

void StartUp(frmMain &mainWindow) {
    ReportFailure([&] {
        mainWindow.show();
        ShowConnectDialog(&mainWindow);
        mainWindow.LoadNewDoc();
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
    StartUp(mainWindow);
    const int code = QApplication::exec();
    clsMsg::setPresenter(nullptr);
    return code;
}
