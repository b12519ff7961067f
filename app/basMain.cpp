#include "app/basMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstring>

#include "app/basGlobals.h"
#include "app/clsMsg.h"
#include "app/failure.h"
#include "app/frmMain.h"
#include "app/messageBoxPresenter.h"
#include "app/settings.h"
#include "data/frmConnect.h"

void EnsureUtf8CharacterLocale() {
    const char *current = std::setlocale(LC_CTYPE, "");
    if (current && (std::strstr(current, "UTF-8") || std::strstr(current, "utf8"))) {
        return;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

namespace {

// Standard dialogs (file, font, message-box buttons) speak Japanese like the rest.
void LoadJapaneseTranslation(QApplication &app, QTranslator &translator) {
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

}  // namespace

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
        ShowConnectDialog(&mainWindow);
        if (files.isEmpty()) {
            mainWindow.LoadNewDoc();
        }
        for (const QString &file : files) {
            mainWindow.LoadSqlFile(mainWindow.LoadNewDoc(), QFileInfo(file).absoluteFilePath());
        }
        mainWindow.SetCboTable();
        mainWindow.SetPanelText(QStringLiteral("DSN"), gDataSourceName);
    });
}

int Main(int argc, char *argv[]) {
    EnsureUtf8CharacterLocale();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    // Lets the desktop match the windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tessory.Tessory"));
    QTranslator translator;
    LoadJapaneseTranslation(app, translator);
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
