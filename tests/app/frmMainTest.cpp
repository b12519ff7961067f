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
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "core/settings.h"
#include "tests/data/odbcTestSources.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/recordingOpener.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/scopedDesktopOpener.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmAbout.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"
#include "ui/twips.h"
#include "ui/windowArrangement.h"

namespace {

class MainWindowTest : public testing::Test {
protected:
    // The driver manager reads its data sources once per process: register ours before any
    // test lists or opens one.
    static void SetUpTestSuite() {
        RegisterSqliteSource(QStringLiteral("StartUpSource"));
        // Names in both letter cases, so that a case-sensitive order would show.
        RegisterSqliteSource(QStringLiteral("alpha_Shop"));
        RegisterSqliteSource(QStringLiteral("QA_Shop"));
    }

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
    // Without a stored placement the frame takes three quarters of the screen, centred; a
    // stored window state alone (closed maximised on the first run) is no placement.
    for (const bool stateStored : {false, true}) {
        SCOPED_TRACE(stateStored ? "only the window state stored" : "nothing stored");
        ClearSettings();
        if (stateStored) {
            Settings::Write(Settings::MainState, QStringLiteral("0"));
        }
        frmMain window;
        window.show();
        const QRect screen = window.screen()->availableGeometry();
        const QRect outer = window.frameGeometry();
        EXPECT_EQ(outer.size(), QSize(screen.width() * 3 / 4, screen.height() * 3 / 4));
        EXPECT_LE((outer.center() - screen.center()).manhattanLength(), 2);
        EXPECT_EQ(window.windowState(), Qt::WindowNoState);
        EXPECT_EQ(gCommand.CommandTimeout(), 30);
    }
}

TEST_F(MainWindowTest, AStoredPlacementTakesTheDefaultsForWhatIsMissing) {
    Settings::Write(Settings::MainWidth, QStringLiteral("9000"));
    frmMain window;
    const Twips twips(&window);
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    EXPECT_EQ(window.size(), QSize(twips.toPixelsX(9000), twips.toPixelsY(6000)));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
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
        WaitForConnectAttempt(dialog);
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
        WaitForConnectAttempt(dialog);
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
        WaitForConnectAttempt(dialog);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(presenter.boxes().size(), 1);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window.mnuFileConnect_Click();
    EXPECT_EQ(gDataSourceName, QString());
    EXPECT_EQ(gConnection.State(), 0);
}

// Connects to StartUpSource through File > Connect as a user does: the name typed, then Enter.
void ConnectToStartUpSource(frmMain &window) {
    AnswerNextDialog([](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"))
            ->setEditText(QStringLiteral("StartUpSource"));
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
        WaitForConnectAttempt(dialog);
        if (dialog->isVisible()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    window.mnuFileConnect_Click();
    ASSERT_EQ(gDataSourceName, QStringLiteral("StartUpSource"));
}

TEST_F(MainWindowTest, EnterInThePrefilledDialogReconnectsToTheSameSource) {
    // The dialog opens with the last source in its field while the list begins with other
    // names; Enter at once, in whichever field the focus is, connects what the field shows.
    const struct {
        const char *field;
        int tabs;  // Tab presses from the first field
    } cases[] = {{"cboDSNList", 0}, {"txtUID", 1}, {"txtPWD", 2}};
    frmMain window;
    window.show();
    QApplication::setActiveWindow(&window);
    ConnectToStartUpSource(window);
    for (const auto &row : cases) {
        SCOPED_TRACE(row.field);
        // The table list of the last connection is read first; the command waits for it.
        ASSERT_TRUE(window.WaitUntilIdle(std::chrono::seconds(30)));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));  // the keys go to the main window
        QString shown;
        QString focused;
        bool closedByEnter = false;
        AnswerNextDialog([&](QWidget *dialog) {
            auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
            EXPECT_NE(list->itemText(0), QStringLiteral("StartUpSource"));
            for (int i = 0; i < row.tabs; ++i) {
                QTest::keyClick(dialog->windowHandle(), Qt::Key_Tab);
            }
            QWidget *focus = dialog->focusWidget();
            focused = !focus                      ? QString()
                      : focus == list->lineEdit() ? list->objectName()
                                                  : focus->objectName();
            shown = list->currentText();
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
            WaitForConnectAttempt(dialog);
            closedByEnter = !dialog->isVisible();
            if (!closedByEnter) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        QTest::keyClick(window.windowHandle(), Qt::Key_F4);
        EXPECT_EQ(focused, QString::fromLatin1(row.field));
        EXPECT_EQ(shown, QStringLiteral("StartUpSource"));
        EXPECT_TRUE(closedByEnter);
        EXPECT_NE(gConnection.State(), 0);
        EXPECT_EQ(gDataSourceName, QStringLiteral("StartUpSource"));
        EXPECT_EQ(Settings::Read(Settings::ConnectDsn), QStringLiteral("StartUpSource"));
    }
}

TEST_F(MainWindowTest, TheDataSourcePanelIsEmptyWhileTheConnectionIsClosed) {
    frmMain window;
    window.show();
    ConnectToStartUpSource(window);
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), QStringLiteral("StartUpSource"));

    // Reconnect, then Cancel: the connection stays open under its name.
    AnswerNextDialog([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    window.mnuFileConnect_Click();
    EXPECT_NE(gConnection.State(), 0);
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), QStringLiteral("StartUpSource"));

    // A failed reconnect has closed the connection, already while the dialog stays open; the
    // Cancel that follows leaves it closed.
    RecordingPresenter presenter;
    QString panelBehindTheDialog = QStringLiteral("not read");
    AnswerNextDialog([&](QWidget *dialog) {
        dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"))
            ->setEditText(QStringLiteral("NoSuchSource"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
        WaitForConnectAttempt(dialog);
        EXPECT_EQ(presenter.boxes().size(), 1);
        panelBehindTheDialog = window.PanelText(QStringLiteral("DSN"));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window.mnuFileConnect_Click();
    EXPECT_EQ(gConnection.State(), 0);
    EXPECT_EQ(panelBehindTheDialog, QString());
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), QString());
}

TEST_F(MainWindowTest, DataSourcesAreListedAsAUserReadsThem) {
    frmMain window;
    QStringList listed;
    AnswerNextDialog([&listed](QWidget *dialog) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
        for (int i = 0; i < list->count(); ++i) {
            listed.append(list->itemText(i));
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window.mnuFileConnect_Click();
    const QStringList ours = {QStringLiteral("alpha_Shop"), QStringLiteral("QA_Shop"),
                              QStringLiteral("StartUpSource"), QStringLiteral("TessorySqlite")};
    QStringList seen;
    for (const QString &name : listed) {
        if (ours.contains(name)) {
            seen.append(name);
        }
    }
    EXPECT_EQ(seen, ours) << listed.join(QLatin1Char(',')).toStdString();
}

TEST_F(MainWindowTest, VersionDialogShowsTheVersionAndOpensThePageOnEveryClick) {
    frmMain window;
    RecordingOpener opener;
    ScopedDesktopOpener installed(opener);
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

TEST_F(MainWindowTest, NewWindowsOpenInsideTheAreaAtOneSizeStaggered) {
    frmMain window;
    window.show();
    window.resize(1000, 700);
    QApplication::processEvents();
    QList<QRect> places;
    for (int i = 0; i < 4; ++i) {
        places.append(window.LoadNewDoc()->parentWidget()->geometry());
    }
    const QRect area = window.mdiArea()->viewport()->rect();
    for (qsizetype i = 0; i < places.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_TRUE(area.contains(places[i])) << places[i].x() << "," << places[i].y();
        EXPECT_EQ(places[i].size(), places[0].size());
        if (i > 0) {
            EXPECT_GT(places[i].x(), places[i - 1].x());
            EXPECT_GT(places[i].y(), places[i - 1].y());
        }
    }
    EXPECT_GE(places[0].width(), area.width() / 2);
    EXPECT_GE(places[0].height(), area.height() / 2);
}

TEST_F(MainWindowTest, CascadeLeavesUsableWindowsWithEveryTitleBarInReach) {
    frmMain window;
    window.show();
    window.resize(1000, 700);
    QApplication::processEvents();
    for (int i = 0; i < 4; ++i) {
        window.LoadNewDoc();
    }
    QMdiArea *area = window.mdiArea();
    const QList<QMdiSubWindow *> created = area->subWindowList(QMdiArea::CreationOrder);
    created[0]->resize(150, 60);  // sizes the user left behind, one maximised
    created[1]->move(700, 500);
    created[2]->showMaximized();
    area->setActiveSubWindow(created[1]);
    window.findChild<QAction *>(QStringLiteral("mnuWindowCascade"))->trigger();

    const QRect viewport = area->viewport()->rect();
    const QList<QMdiSubWindow *> stack = area->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(stack.size(), 4);
    const int titleBar = stack[0]->widget()->y();
    ASSERT_GT(titleBar, 0);
    for (qsizetype i = 0; i < stack.size(); ++i) {
        SCOPED_TRACE(stack[i]->windowTitle().toStdString());
        const QRect place = stack[i]->geometry();
        EXPECT_FALSE(stack[i]->isMaximized());
        EXPECT_TRUE(viewport.contains(place)) << place.x() << "," << place.y();
        EXPECT_EQ(place.size(), stack[0]->size());
        EXPECT_GE(place.width(), viewport.width() / 2);
        EXPECT_GE(place.height(), viewport.height() / 2);
        // Every window above this one starts below its title bar and right of its left edge.
        for (qsizetype j = i + 1; j < stack.size(); ++j) {
            EXPECT_GE(stack[j]->y(), place.y() + titleBar);
            EXPECT_GT(stack[j]->x(), place.x());
        }
    }
    EXPECT_EQ(stack.last(), created[1]);  // the active window ends in front
    EXPECT_EQ(area->activeSubWindow(), created[1]);
}

TEST_F(MainWindowTest, CtrlF4ClosesTheActiveQueryWindow) {
    frmMain window;
    window.show();
    window.LoadNewDoc();
    frmSQL *second = window.LoadNewDoc();
    window.LoadNewDoc();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto pressCtrlF4 = [&window] {
        QTest::keyClick(window.windowHandle(), Qt::Key_F4, Qt::ControlModifier);
    };
    // The focus in the active window's editor.
    window.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(second->parentWidget()));
    second->txtQry()->setFocus();
    pressCtrlF4();
    EXPECT_EQ(Captions(window), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題3")}));
    EXPECT_EQ(gDocCount, 2);
    // The focus outside every query window (as after a click on the frame's bars).
    frmSQL *third = window.ActiveDoc();
    ASSERT_NE(third, nullptr);
    window.setFocus();
    pressCtrlF4();
    EXPECT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
    pressCtrlF4();
    EXPECT_EQ(gDocCount, 0);
    EXPECT_FALSE(Enabled(window, "mnuQryExec"));
    // With no window left the key does nothing (and shows no box).
    pressCtrlF4();
    EXPECT_EQ(gDocCount, 0);
}

TEST_F(MainWindowTest, StatusPanelsStayInPlaceWhateverPanelOneSays) {
    frmMain window;
    window.show();
    window.resize(1000, 700);
    QApplication::processEvents();
    auto *message = window.statusBar()->findChild<QLabel *>(QStringLiteral("MESSAGE"));
    auto *dsn = window.statusBar()->findChild<QLabel *>(QStringLiteral("DSN"));
    ASSERT_TRUE(message && dsn);
    window.SetPanelText(QStringLiteral("DSN"), QStringLiteral("StartUpSource"));
    const QString path = QStringLiteral("/home/user/ドキュメント/Tessory/") +
                         QString(120, QLatin1Char('x')) + QStringLiteral(".xlsx");
    const struct {
        QString text;
        bool whole;  // shown whole, or shortened with the whole text as the tool tip
    } cases[] = {{QString(), true},
                 {QStringLiteral("クエリ バッチ実行中･･･"), true},
                 {QStringLiteral("クエリ バッチはエラーで完了しました。"), true},
                 {path, false},
                 {QStringLiteral("クエリ バッチが完了しました。"), true}};
    std::optional<QRect> messagePlace;
    std::optional<QRect> dsnPlace;
    for (const auto &row : cases) {
        SCOPED_TRACE(row.text.toStdString());
        window.SetPanelText(QStringLiteral("MESSAGE"), row.text);
        QApplication::processEvents();  // the status bar lays itself out on the next pass
        EXPECT_EQ(window.PanelText(QStringLiteral("MESSAGE")), row.text);
        EXPECT_EQ(message->text() == row.text, row.whole);
        EXPECT_EQ(message->toolTip(), row.whole ? QString() : row.text);
        EXPECT_GE(message->width(), Twips(&window).toPixelsX(3000));
        EXPECT_EQ(message->geometry(), messagePlace.value_or(message->geometry()));
        EXPECT_EQ(dsn->geometry(), dsnPlace.value_or(dsn->geometry()));
        EXPECT_GT(dsn->x(), message->geometry().right());  // side by side, not overlapping
        messagePlace = message->geometry();
        dsnPlace = dsn->geometry();
    }
    // Each panel has a visible edge, so that the two read as separate fields.
    EXPECT_GT(message->frameWidth(), 0);
    EXPECT_GT(dsn->frameWidth(), 0);
    EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), QStringLiteral("StartUpSource"));
}

}  // namespace
