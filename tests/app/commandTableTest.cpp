// The main window's commands as the user meets them: the menus in order with their captions,
// separators and shortcuts, the main toolbar's buttons, the window-wide keys, and which of them
// are enabled without and with a query window, compared whole with a listing kept here.
#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "tests/support/testEnvironment.h"

namespace {

// "on" or "off" for each of the two states a line is read in.
QString States(const QList<bool> &enabled) {
    QStringList words;
    for (bool on : enabled) {
        words.append(on ? QStringLiteral("on") : QStringLiteral("off"));
    }
    return words.join(QLatin1Char('/'));
}

// One line per menu, item, button and key; the states are filled in by Listing.
struct Line {
    QString text;
    std::function<bool()> enabled;
};

QList<Line> Lines(const frmMain &window) {
    QList<Line> lines;
    for (QAction *menuAction : window.menuBar()->actions()) {
        QMenu *menu = menuAction->menu();
        lines.append({menu->objectName() + QLatin1Char(' ') + menu->title() +
                          (menuAction->objectName() == menu->objectName()
                               ? QString()
                               : QStringLiteral(" action:") + menuAction->objectName()),
                      [menu, menuAction] { return menu->isEnabled() && menuAction->isEnabled(); }});
        for (QAction *action : menu->actions()) {
            QString text = QStringLiteral("  ") + action->objectName() + QLatin1Char(' ') +
                           (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->shortcut().isEmpty()) {
                text += QStringLiteral(" [") +
                        action->shortcut().toString(QKeySequence::PortableText) + QLatin1Char(']');
            }
            lines.append({text, [action] { return action->isEnabled(); }});
        }
    }
    auto *toolbar = window.findChild<QToolBar *>(QStringLiteral("tlbMain"));
    for (QAction *action : toolbar->actions()) {
        if (action->isSeparator()) {
            lines.append({QStringLiteral("tlbMain |"), [] { return true; }});
            continue;
        }
        QWidget *button = toolbar->widgetForAction(action);
        lines.append({QStringLiteral("tlbMain ") + action->objectName() + QLatin1Char(' ') +
                          action->toolTip() +
                          (button->objectName() == action->objectName()
                               ? QString()
                               : QStringLiteral(" widget:") + button->objectName()),
                      [action, button] { return action->isEnabled() && button->isEnabled(); }});
    }
    for (QAction *action : window.actions()) {
        lines.append({QStringLiteral("key ") + action->objectName() + QStringLiteral(" [") +
                          action->shortcut().toString(QKeySequence::PortableText) +
                          QLatin1Char(']'),
                      [action] { return action->isEnabled(); }});
    }
    return lines;
}

// The listing with each line's state without a query window, then with one.
QString Listing(frmMain &window) {
    const QList<Line> lines = Lines(window);
    QList<QList<bool>> states(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        states[i].append(lines[i].enabled());
    }
    window.LoadNewDoc();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        states[i].append(lines[i].enabled());
    }
    QString listing;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        listing += lines[i].text + QStringLiteral(" (") + States(states[i]) + QStringLiteral(")\n");
    }
    return listing;
}

const char *const kExpected = R"(mnuFile ファイル(&F) (on/on)
  mnuFileConnect データ ソース接続(&C)... [F4] (on/on)
  mnuFileBar1 - (on/on)
  mnuFileNew 新規作成(N)... [Ctrl+N] (on/on)
  mnuFileBar2 - (on/on)
  mnuFileOpen SQL ファイルを開く(&O)... [Ctrl+O] (on/on)
  mnuFileSave SQL ファイルを保存(&S)... [Ctrl+S] (off/on)
  mnuFileReopenClosed 閉じたウィンドウを開く(&R) [Ctrl+Shift+T] (on/on)
  mnuFileBar3 - (on/on)
  mnuFileEnd 終了(&X) (on/on)
mnuQry クエリ(&Q) (off/on)
  mnuQryExec 実行(&R) [F5] (off/on)
  mnuQryCancel 実行の取り消し(&C) [Alt+Pause] (off/off)
  mnuQryBar1 - (off/on)
  mnuQryArrange 整形(&A) [F9] (off/on)
  mnuQryBar2 - (off/on)
  mnuQryTimeout クエリ タイムアウト(&T)... (off/on)
mnuEdit 編集(&E) (off/on)
  mnuEditSearch 検索(&F)... [Ctrl+F] (off/on)
  mnuEditResearch 再検索(&R) [F3] (off/on)
  mnuEditBar - (off/on)
  mnuEditAll すべて選択(&A) [Ctrl+A] (off/on)
mnuFont 書式(&O) (off/on)
  mnuFontFont フォント(&F)... (off/on)
mnuTool ツール(&T) (off/on)
  mnuToolExcel エクセルに貼り付け(&E)... (off/on)
mnuWindow ウィンドウ(&W) (on/on)
  mnuWindowNewWindow 新しいウィンドウを開く(&N) (on/on)
  mnuWindowBar - (on/on)
  mnuWindowCascade 重ねて表示(&C) (off/on)
  mnuWindowTileHorizontal 上下に並べて表示(&H) (off/on)
  mnuWindowTileVertical 左右に並べて表示(&V) (off/on)
  mnuWindowArrangeIcons アイコンの整列(&A) (off/on)
mnuHelp ヘルプ(&H) (on/on)
  mnuHelpVersion バージョン(&A)... (on/on)
tlbMain CONNECT データ ソース接続 (on/on)
tlbMain NEW 新規作成 (on/on)
tlbMain OPEN SQL ファイルを開く (on/on)
tlbMain SAVE SQL ファイルを保存 (off/on)
tlbMain | (on/on)
tlbMain EXEC 実行 (off/on)
tlbMain CANCEL 実行の取り消し (off/off)
tlbMain ARRANGE 整形 (off/on)
tlbMain TIMEOUT クエリ タイムアウト (off/on)
tlbMain | (on/on)
tlbMain SEARCH 検索 (off/on)
tlbMain | (on/on)
tlbMain EXCEL エクセルに貼り付け (off/on)
tlbMain | (on/on)
tlbMain CASCADE 重ねて表示 (off/on)
tlbMain HORIZONTAL 上下に並べて表示 (off/on)
tlbMain VERTICAL 左右に並べて表示 (off/on)
key actCloseDoc [Ctrl+F4] (on/on)
)";

class CommandTableTest : public testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ResetSharedState();
    }
    void TearDown() override { ResetSharedState(); }
};

TEST_F(CommandTableTest, MenusToolbarAndKeysAreAsTheUserKnowsThem) {
    frmMain window;
    const std::string listing = Listing(window).toStdString();
    EXPECT_EQ(listing, kExpected) << "The listing reads:\n" << listing;
}

}  // namespace
