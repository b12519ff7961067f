#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/desktopOpener.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/settings.h"
#include "app/twips.h"
#include "app/windowArrangement.h"
#include "editor/frmSQL.h"
#include "editor/queryEditor.h"
#include "tests/data/odbcTestSources.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"

namespace {

class MainWindowTest : public testing::Test {
protected:
    // The driver manager reads its data sources once per process: register ours before any
    // test lists or opens one.
    static void SetUpTestSuite() { RegisterSqliteSource(QStringLiteral("StartUpSource")); }

    void SetUp() override {
        ClearSettings();
        ResetSharedState();
    }
    void TearDown() override { ResetSharedState(); }

    QStringList Captions(const frmMain &window) const {
        QStringList captions;
        for (QMdiSubWindow *sub : window.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            captions.append(sub->windowTitle());
        }
        return captions;
    }

    static bool Enabled(const frmMain &window, const char *name) {
        if (auto *menu = window.findChild<QMenu *>(QString::fromLatin1(name))) {
            return menu->isEnabled() && menu->menuAction()->isEnabled();
        }
        auto *button = window.findChild<QToolButton *>(QString::fromLatin1(name));
        if (button) {
            return button->isEnabled();
        }
        auto *action = window.findChild<QAction *>(QString::fromLatin1(name));
        return action && action->isEnabled();
    }
};

const char *const kNeedAWindow[] = {"mnuFileSave",
                                    "mnuQry",
                                    "mnuEdit",
                                    "mnuFont",
                                    "mnuTool",
                                    "mnuQryExec",
                                    "mnuEditAll",
                                    "mnuWindowCascade",
                                    "mnuWindowTileHorizontal",
                                    "mnuWindowTileVertical",
                                    "mnuWindowArrangeIcons",
                                    "SAVE",
                                    "EXEC",
                                    "ARRANGE",
                                    "TIMEOUT",
                                    "SEARCH",
                                    "EXCEL",
                                    "CASCADE",
                                    "HORIZONTAL",
                                    "VERTICAL"};
const char *const kAlwaysOn[] = {"mnuFile",
                                 "mnuFileConnect",
                                 "mnuFileNew",
                                 "mnuFileOpen",
                                 "mnuFileEnd",
                                 "mnuWindowNewWindow",
                                 "mnuHelpVersion",
                                 "CONNECT",
                                 "NEW",
                                 "OPEN"};

TEST_F(MainWindowTest, CommandsThatNeedAWindowFollowTheOpenWindows) {
    frmMain window;
    for (const char *name : kNeedAWindow) {
        EXPECT_FALSE(Enabled(window, name)) << name;
    }
    window.LoadNewDoc();
    for (const char *name : kNeedAWindow) {
        EXPECT_TRUE(Enabled(window, name)) << name;
    }
    window.mdiArea()->closeAllSubWindows();
    EXPECT_EQ(gDocCount, 0);
    for (const char *name : kNeedAWindow) {
        EXPECT_FALSE(Enabled(window, name)) << name;
    }
    for (const char *name : kAlwaysOn) {
        EXPECT_TRUE(Enabled(window, name)) << name;
    }
}

TEST_F(MainWindowTest, CaptionNumbersAreNeverReused) {
    frmMain window;
    window.LoadNewDoc();
    window.LoadNewDoc();
    window.LoadNewDoc();
    window.mdiArea()->subWindowList(QMdiArea::CreationOrder)[1]->close();
    window.LoadNewDoc();
    EXPECT_EQ(Captions(window), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題3"),
                                             QStringLiteral("無題4")}));
    EXPECT_EQ(gDocCount, 3);
}

TEST_F(MainWindowTest, ToolbarButtonsReachTheirMenuCommands) {
    frmMain window;
    window.show();
    QTest::mouseClick(window.findChild<QToolButton *>(QStringLiteral("NEW")), Qt::LeftButton);
    EXPECT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
    // Run without a connection warns, the same as Query > Run.
    RecordingPresenter presenter;
    QTest::mouseClick(window.findChild<QToolButton *>(QStringLiteral("EXEC")), Qt::LeftButton);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].text, QStringLiteral("データベースに接続されていません。"));
    EXPECT_EQ(window.PanelText(QStringLiteral("MESSAGE")),
              QStringLiteral("クエリ バッチはエラーで完了しました。"));
    window.tlbMain_ButtonClick(QStringLiteral("exec"));  // keys are case-sensitive
    EXPECT_EQ(presenter.boxes().size(), 1);
}

TEST_F(MainWindowTest, ShortcutsOfDisabledItemsDoNothing) {
    frmMain window;
    window.show();
    QApplication::setActiveWindow(&window);
    // No window: F5 would warn if it reached Run; the test fails on any box.
    QTest::keyClick(&window, Qt::Key_F5);
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(gDocCount, 1);
    RecordingPresenter presenter;
    QTest::keyClick(window.ActiveDoc()->txtQry(), Qt::Key_F5);
    EXPECT_EQ(presenter.boxes().size(), 1);
}

TEST_F(MainWindowTest, FirstRunPlacementAndTimeout) {
    frmMain window;
    const Twips twips(&window);
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    EXPECT_EQ(window.size(), QSize(twips.toPixelsX(8000), twips.toPixelsY(6000)));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
    EXPECT_EQ(gCommand.CommandTimeout(), 30);
}

TEST_F(MainWindowTest, StoredSizesNeverGoBelowTheDesignSize) {
    Settings::Write(Settings::MainHeight, QStringLiteral("abc"));
    Settings::Write(Settings::MainWidth, QStringLiteral("15"));
    Settings::Write(Settings::QueryTimeout, QStringLiteral("x"));
    frmMain window;
    EXPECT_EQ(window.size(), window.minimumSize());
    EXPECT_GT(window.minimumWidth(), 400);
    EXPECT_EQ(gCommand.CommandTimeout(), 30);
}

TEST_F(MainWindowTest, ClosingMaximisedKeepsTheNormalPlacement) {
    Settings::Write(Settings::MainTop, QStringLiteral("1500"));
    Settings::Write(Settings::MainLeft, QStringLiteral("3000"));
    Settings::Write(Settings::QueryTimeout, QStringLiteral("12"));
    {
        frmMain window;
        window.show();
        window.showMaximized();
        gCommand.setCommandTimeout(45);
        window.close();
    }
    EXPECT_EQ(Settings::Read(Settings::MainState), QStringLiteral("2"));
    EXPECT_EQ(Settings::Read(Settings::MainTop), QStringLiteral("1500"));
    EXPECT_EQ(Settings::Read(Settings::MainLeft), QStringLiteral("3000"));
    EXPECT_EQ(Settings::Read(Settings::QueryTimeout), QStringLiteral("45"));

    frmMain again;
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, ClosingInTheNormalStateStoresThePlacementInTwips) {
    QRect outer;
    {
        frmMain window;
        window.show();
        window.setGeometry(40, 60, 700, 500);
        outer = window.frameGeometry();
        window.close();
    }
    EXPECT_EQ(Settings::Read(Settings::MainState), QStringLiteral("0"));
    frmMain again;
    const Twips twips(&again);
    EXPECT_EQ(Settings::Read(Settings::MainWidth), TwipsToText(twips.toTwipsX(outer.width())));
    EXPECT_EQ(Settings::Read(Settings::MainTop), TwipsToText(twips.toTwipsY(outer.top())));
    again.show();
    EXPECT_EQ(again.frameGeometry(), outer);
}

TEST_F(MainWindowTest, NewWindowsUseTheStoredFontRoundedToWholePoints) {
    Settings::Write(Settings::FontSize, QStringLiteral("11.5"));
    Settings::Write(Settings::FontName, QStringLiteral("DejaVu Sans Mono"));
    Settings::Write(Settings::FontBold, QStringLiteral("TRUE"));
    Settings::Write(Settings::FontItalic, QStringLiteral("maybe"));
    frmMain window;
    frmSQL *doc = window.LoadNewDoc();
    const QFont editorFont = doc->txtQry()->font();
    EXPECT_EQ(editorFont.pointSize(), 12);
    EXPECT_EQ(editorFont.family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_TRUE(editorFont.bold());
    EXPECT_FALSE(editorFont.italic());
    EXPECT_EQ(doc->grdQry()->font(), editorFont);
}

// Answers the next modal dialog from the event loop.
template <typename Answer>
void AnswerNextDialog(Answer answer) {
    QTimer::singleShot(0, [answer] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

TEST_F(MainWindowTest, StartUpAfterCancelGivesOneWindowAndNoConnection) {
    Settings::Write(Settings::ConnectDsn, QStringLiteral("Old"));
    frmMain window;
    AnswerNextDialog([](QWidget *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmConnect"));
        EXPECT_EQ(gDocCount, 0);  // commands are disabled behind the dialog
        dialog->findChild<QLineEdit *>(QStringLiteral("txtUID"))->setText(QStringLiteral("新人"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
    });
    StartUp(window);
    EXPECT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
    EXPECT_EQ(gConnection.State(), 0);
    EXPECT_EQ(gDataSourceName, QString());
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), QString());
    EXPECT_EQ(Settings::Read(Settings::ConnectUid), QStringLiteral("新人"));
    EXPECT_EQ(Settings::Read(Settings::ConnectDsn), QStringLiteral("Old"));
}

TEST_F(MainWindowTest, StartUpWithAConnectionShowsTheDataSource) {
    const QString dsn = RegisterSqliteSource(QStringLiteral("StartUpSource"));
    frmMain window;
    AnswerNextDialog([dsn](QWidget *dialog) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
        EXPECT_GE(list->findText(dsn), 0);  // listed from the driver manager
        list->setEditText(dsn);
        auto *password = dialog->findChild<QLineEdit *>(QStringLiteral("txtPWD"));
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        QTest::keyClicks(password, QStringLiteral("secret"));
        QTest::keyClick(password, Qt::Key_Return);  // Enter presses OK
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the connection dialog stayed open";
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    StartUp(window);
    EXPECT_NE(gConnection.State(), 0);
    EXPECT_EQ(gDataSourceName, dsn);
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), dsn);
    EXPECT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
    EXPECT_FALSE(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tessory"))
                     .allKeys()
                     .join(QLatin1Char(' '))
                     .contains(QStringLiteral("PWD")));
}

TEST_F(MainWindowTest, StartUpWithFilesOpensEachInAWindowOfItsOwn) {
    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("first.sql"));
    const QString second = folder.filePath(QStringLiteral("受注.sql"));
    for (const auto &[path, text] : {std::pair{first, QStringLiteral("SELECT 1\r\n")},
                                     std::pair{second, QStringLiteral("SELECT '受注'\r\n")}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    frmMain window;
    AnswerNextDialog([](QWidget *dialog) { dialog->close(); });
    // A relative path is taken from the current folder, as a desktop or shell gives it.
    const QString current = QDir::currentPath();
    QDir::setCurrent(folder.path());
    StartUp(window, {QStringLiteral("first.sql"), second});
    QDir::setCurrent(current);
    EXPECT_EQ(Captions(window), QStringList({first, second}));
    ASSERT_EQ(window.Docs().size(), 2);
    EXPECT_EQ(window.Docs().at(0)->txtQry()->Text(), QStringLiteral("SELECT 1\r\n"));
    EXPECT_EQ(window.Docs().at(1)->txtQry()->Text(), QStringLiteral("SELECT '受注'\r\n"));
}

TEST_F(MainWindowTest, EnterInTheDataSourceFieldPressesOk) {
    frmMain window;
    AnswerNextDialog([](QWidget *dialog) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
        EXPECT_TRUE(dialog->focusWidget() == list || dialog->focusWidget() == list->lineEdit());
        list->setEditText(QStringLiteral("StartUpSource"));
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "Enter did not press OK";
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    window.mnuFileConnect_Click();
    EXPECT_EQ(gDataSourceName, QStringLiteral("StartUpSource"));
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), QStringLiteral("StartUpSource"));
}

TEST_F(MainWindowTest, FailedConnectKeepsTheDialogOpenAndTheNameEmpty) {
    frmMain window;
    RecordingPresenter presenter;
    AnswerNextDialog([&presenter](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"))
            ->setEditText(QStringLiteral("NoSuchSource"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(presenter.boxes().size(), 1);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window.mnuFileConnect_Click();
    EXPECT_EQ(gDataSourceName, QString());
    EXPECT_EQ(gConnection.State(), 0);
}

}  // namespace

namespace {

class RecordingOpener final : public DesktopOpener {
public:
    bool open(const QString &path) override {
        opened.append(path);
        return true;
    }
    QStringList opened;
};

TEST_F(MainWindowTest, VersionDialogShowsTheVersionAndOpensThePageOnEveryClick) {
    frmMain window;
    RecordingOpener opener;
    DesktopOpener *previous = SetDesktopOpener(&opener);
    AnswerNextDialog([](QWidget *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("バージョン情報"));
        EXPECT_EQ(dialog->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                  QStringLiteral("Tessory"));
        EXPECT_EQ(dialog->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                  QStringLiteral("Version 2.0.0"));
        auto *link = dialog->findChild<QLabel *>(QStringLiteral("lblAuthor"));
        emit link->linkActivated(frmAbout::WebPage());
        emit link->linkActivated(frmAbout::WebPage());
        EXPECT_TRUE(dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Escape);  // OK is also the cancel button
    });
    window.findChild<QAction *>(QStringLiteral("mnuHelpVersion"))->trigger();
    SetDesktopOpener(previous);
    EXPECT_EQ(opener.opened, QStringList(2, frmAbout::WebPage()));
}

TEST_F(MainWindowTest, WindowMenuListsTheOpenWindowsAndSwitchesToThem) {
    frmMain window;
    window.show();
    window.LoadNewDoc();
    frmSQL *second = window.LoadNewDoc();
    auto *menu = window.findChild<QMenu *>(QStringLiteral("mnuWindow"));
    emit menu->aboutToShow();
    QStringList entries;
    QAction *first = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->isCheckable()) {
            entries.append(action->text());
            first = first ? first : action;
        }
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("&1 無題1"), QStringLiteral("&2 無題2")}));
    EXPECT_EQ(window.ActiveDoc(), second);
    first->trigger();
    EXPECT_EQ(window.ActiveDoc()->windowTitle(), QStringLiteral("無題1"));
    emit menu->aboutToShow();  // the list is made anew, not added to
    int checkable = 0;
    for (QAction *action : menu->actions()) {
        checkable += action->isCheckable() ? 1 : 0;
    }
    EXPECT_EQ(checkable, 2);
}

TEST_F(MainWindowTest, TilingPlacesTheWindowsStackedOrSideBySide) {
    frmMain window;
    window.show();
    window.LoadNewDoc();
    window.LoadNewDoc();
    const QRect area = window.mdiArea()->viewport()->rect();
    const QList<QMdiSubWindow *> windows = window.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    window.findChild<QAction *>(QStringLiteral("mnuWindowTileHorizontal"))->trigger();
    EXPECT_EQ(windows[0]->geometry(), TileStacked(area, 2)[0]);
    EXPECT_EQ(windows[1]->geometry(), TileStacked(area, 2)[1]);
    window.tlbMain_ButtonClick(QStringLiteral("VERTICAL"));
    EXPECT_EQ(windows[1]->geometry(), TileSideBySide(area, 2)[1]);
}

}  // namespace
