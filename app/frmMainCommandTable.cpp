// The main window's menus, toolbars and status bar, built from tables, and the one rule that
// enables the commands that need a query window.
#include "app/frmMain.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#include "app/basGlobals.h"
#include "core/failure.h"
#include "core/settings.h"
#include "ui/frmSQL.h"
#include "ui/icons.h"
#include "ui/queryEditor.h"
#include "ui/statusPanel.h"
#include "ui/twips.h"
#include "ui/windowArrangement.h"

namespace {

using Handler = void (frmMain::*)();

struct MenuItem {
    const char *name;
    const char *caption;  // "-" for a separator line
    QKeySequence shortcut;
};

struct ToolButton {
    const char *key;        // nullptr for a separator
    const char *themeIcon;  // freedesktop name; nullptr where no standard name fits
    const char *ownIcon;    // the program's own icon, when the theme has none
    const char *tooltip;
};

// Design sizes, in twips.
constexpr int kTableListWidth = 3495;

// The status bar's panels from the left: the run's messages in a box of its own width, then
// the data source, which also takes what room the bar has left.
struct StatusPanelDesign {
    const char *key;
    int width;         // twips
    int stretch;       // 0: exactly its width; more: at least its width, sharing the rest
    bool runMessages;  // wide enough for a run's messages also where the font is wider
};
const StatusPanelDesign kStatusPanels[] = {{"MESSAGE", 3000, 0, true}, {"DSN", 4000, 1, false}};

// Window arrangement and the time-out have no standard icon name: the program's own icons
// show them (a stopwatch, overlapping and tiled windows).
const ToolButton kMainButtons[] = {
    {"CONNECT", "network-wired", "connect", "データ ソース接続"},
    {"NEW", "document-new", "new", "新規作成"},
    {"OPEN", "document-open", "open", "SQL ファイルを開く"},
    {"SAVE", "document-save", "save", "SQL ファイルを保存"},
    {nullptr, nullptr, nullptr, nullptr},
    {"EXEC", "media-playback-start", "exec", "実行"},
    {"ARRANGE", "format-justify-left", "arrange", "整形"},
    {"TIMEOUT", nullptr, "timeout", "クエリ タイムアウト"},
    {nullptr, nullptr, nullptr, nullptr},
    {"SEARCH", "edit-find", "search", "検索"},
    {nullptr, nullptr, nullptr, nullptr},
    {"EXCEL", "x-office-spreadsheet", "excel", "エクセルに貼り付け"},
    {nullptr, nullptr, nullptr, nullptr},
    {"CASCADE", nullptr, "cascade", "重ねて表示"},
    {"HORIZONTAL", nullptr, "horizontal", "上下に並べて表示"},
    {"VERTICAL", nullptr, "vertical", "左右に並べて表示"},
};

const ToolButton kGridButtons[] = {
    {"START", "go-first", "first", "最初のレコード"},
    {"DBL_BACK", "media-seek-backward", "back10", "10件戻る"},
    {"SGL_BACK", "go-previous", "back1", "1件戻る"},
    {"SGL_NEXT", "go-next", "next1", "1件進む"},
    {"DBL_NEXT", "media-seek-forward", "next10", "10件進む"},
    {"END", "go-last", "last", "最後のレコード"},
};

// The main toolbar's keys in routing order, each with the menu command it stands for.
const std::pair<const char *, Handler> kMainRoutes[] = {
    {"CONNECT", &frmMain::mnuFileConnect_Click},
    {"NEW", &frmMain::mnuFileNew_Click},
    {"OPEN", &frmMain::mnuFileOpen_Click},
    {"SAVE", &frmMain::mnuFileSave_Click},
    {"EXEC", &frmMain::mnuQryExec_Click},
    {"ARRANGE", &frmMain::mnuQryArrange_Click},
    {"TIMEOUT", &frmMain::mnuQryTimeout_Click},
    {"SEARCH", &frmMain::mnuEditSearch_Click},
    {"EXCEL", &frmMain::mnuToolExcel_Click},
    {"CASCADE", &frmMain::mnuWindowCascade_Click},
    {"HORIZONTAL", &frmMain::mnuWindowTileHorizontal_Click},
    {"VERTICAL", &frmMain::mnuWindowTileVertical_Click},
};

// What EnabledControls switches: these items, whole menus and main-toolbar keys.
const char *const kDocItems[] = {"mnuFileSave", "mnuWindowCascade", "mnuWindowTileHorizontal",
                                 "mnuWindowTileVertical", "mnuWindowArrangeIcons"};
const char *const kDocMenus[] = {"mnuQry", "mnuEdit", "mnuFont", "mnuTool"};
const char *const kDocButtons[] = {"SAVE",  "EXEC",    "ARRANGE",    "TIMEOUT", "SEARCH",
                                   "EXCEL", "CASCADE", "HORIZONTAL", "VERTICAL"};

QIcon ToolIcon(const ToolButton &button) {
    return ToolbarIcon(button.themeIcon, button.ownIcon);
}

}  // namespace

void frmMain::buildMenus() {
    struct Menu {
        const char *name;
        const char *caption;
        std::vector<MenuItem> items;
        std::vector<Handler> handlers;  // one per non-separator item, in order
    };
    const Menu menus[] = {
        {"mnuFile",
         "ファイル(&F)",
         {{"mnuFileConnect", "データ ソース接続(&C)...", Qt::Key_F4},
          {"mnuFileBar1", "-", {}},
          {"mnuFileNew", "新規作成(N)...", QKeySequence(Qt::CTRL | Qt::Key_N)},
          {"mnuFileBar2", "-", {}},
          {"mnuFileOpen", "SQL ファイルを開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O)},
          {"mnuFileSave", "SQL ファイルを保存(&S)...", QKeySequence(Qt::CTRL | Qt::Key_S)},
          {"mnuFileReopenClosed", "閉じたウィンドウを開く(&R)",
           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)},
          {"mnuFileBar3", "-", {}},
          {"mnuFileEnd", "終了(&X)", {}}},
         {&frmMain::mnuFileConnect_Click, &frmMain::mnuFileNew_Click, &frmMain::mnuFileOpen_Click,
          &frmMain::mnuFileSave_Click, &frmMain::mnuFileReopenClosed_Click,
          &frmMain::mnuFileEnd_Click}},
        {"mnuQry",
         "クエリ(&Q)",
         {{"mnuQryExec", "実行(&R)", Qt::Key_F5},
          {"mnuQryBar1", "-", {}},
          {"mnuQryArrange", "整形(&A)", Qt::Key_F9},
          {"mnuQryBar2", "-", {}},
          {"mnuQryTimeout", "クエリ タイムアウト(&T)...", {}}},
         {&frmMain::mnuQryExec_Click, &frmMain::mnuQryArrange_Click,
          &frmMain::mnuQryTimeout_Click}},
        {"mnuEdit",
         "編集(&E)",
         {{"mnuEditSearch", "検索(&F)...", QKeySequence(Qt::CTRL | Qt::Key_F)},
          {"mnuEditResearch", "再検索(&R)", Qt::Key_F3},
          {"mnuEditBar", "-", {}},
          {"mnuEditAll", "すべて選択(&A)", QKeySequence(Qt::CTRL | Qt::Key_A)}},
         {&frmMain::mnuEditSearch_Click, &frmMain::mnuEditResearch_Click,
          &frmMain::mnuEditAll_Click}},
        {"mnuFont",
         "書式(&O)",
         {{"mnuFontFont", "フォント(&F)...", {}}},
         {&frmMain::mnuFontFont_Click}},
        {"mnuTool",
         "ツール(&T)",
         {{"mnuToolExcel", "エクセルに貼り付け(&E)...", {}}},
         {&frmMain::mnuToolExcel_Click}},
        {"mnuWindow",
         "ウィンドウ(&W)",
         {{"mnuWindowNewWindow", "新しいウィンドウを開く(&N)", {}},
          {"mnuWindowBar", "-", {}},
          {"mnuWindowCascade", "重ねて表示(&C)", {}},
          {"mnuWindowTileHorizontal", "上下に並べて表示(&H)", {}},
          {"mnuWindowTileVertical", "左右に並べて表示(&V)", {}},
          {"mnuWindowArrangeIcons", "アイコンの整列(&A)", {}}},
         {&frmMain::mnuWindowNewWindow_Click, &frmMain::mnuWindowCascade_Click,
          &frmMain::mnuWindowTileHorizontal_Click, &frmMain::mnuWindowTileVertical_Click,
          &frmMain::mnuWindowArrangeIcons_Click}},
        {"mnuHelp",
         "ヘルプ(&H)",
         {{"mnuHelpVersion", "バージョン(&A)...", {}}},
         {&frmMain::mnuHelpVersion_Click}},
    };
    for (const Menu &spec : menus) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(spec.caption));
        menu->setObjectName(QString::fromLatin1(spec.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(spec.name));
        auto handler = spec.handlers.begin();
        for (const MenuItem &item : spec.items) {
            QAction *action = QString::fromUtf8(item.caption) == QLatin1String("-")
                                  ? menu->addSeparator()
                                  : menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromLatin1(item.name));
            if (action->isSeparator()) {
                continue;
            }
            action->setShortcut(item.shortcut);
            // Shortcuts reach the command only while the action (and so its menu) is enabled.
            action->setShortcutContext(Qt::WindowShortcut);
            connect(action, &QAction::triggered, this, *handler++);
        }
    }
    mnuWindow_ = menuBar()->findChild<QMenu *>(QStringLiteral("mnuWindow"));
    connect(mnuWindow_, &QMenu::aboutToShow, this, &frmMain::fillWindowList);
}

void frmMain::buildToolbars() {
    auto *tlbMain = new QToolBar(this);
    tlbMain->setObjectName(QStringLiteral("tlbMain"));
    tlbMain->setMovable(false);
    tlbMain->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, tlbMain);
    for (const ToolButton &button : kMainButtons) {
        if (!button.key) {
            tlbMain->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        QAction *action = tlbMain->addAction(ToolIcon(button), QString());
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(button.tooltip));
        tlbMain->widgetForAction(action)->setObjectName(key);
        connect(action, &QAction::triggered, this, [this, key] { tlbMain_ButtonClick(key); });
    }

    auto *tlbGrid = new QToolBar(this);
    tlbGrid->setObjectName(QStringLiteral("tlbGrid"));
    tlbGrid->setMovable(false);
    tlbGrid->setIconSize(QSize(16, 16));
    addToolBar(Qt::BottomToolBarArea, tlbGrid);
    for (const ToolButton &button : kGridButtons) {
        const QString key = QString::fromLatin1(button.key);
        QAction *action = tlbGrid->addAction(ToolIcon(button), QString());
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(button.tooltip));
        tlbGrid->widgetForAction(action)->setObjectName(key);
        connect(action, &QAction::triggered, this, [this, key] { tlbGrid_ButtonClick(key); });
    }
    cboTable_ = new QComboBox(tlbGrid);
    cboTable_->setObjectName(QStringLiteral("cboTable"));
    cboTable_->setEditable(true);
    cboTable_->setToolTip(QStringLiteral("テーブルの指定"));
    QFont font(QStringLiteral("Meiryo UI"));
    font.setPointSizeF(9.75);
    cboTable_->setFont(font);
    cboTable_->setFixedWidth(Twips(this).toPixelsX(kTableListWidth));
    cboTableAction_ = tlbGrid->addWidget(cboTable_);
    cboTableAction_->setObjectName(QStringLiteral("cboTableAction"));
    cboTableAction_->setVisible(false);  // until a server that lists its tables is connected
    connect(cboTable_, &QComboBox::activated, this, &frmMain::cboTable_Click);
}

void frmMain::buildStatusBar() {
    QStatusBar *stbMain = statusBar();
    stbMain->setObjectName(QStringLiteral("stbMain"));
    const Twips twips(this);
    for (const StatusPanelDesign &design : kStatusPanels) {
        auto *panel = new StatusPanel(QString::fromLatin1(design.key), stbMain);
        int width = twips.toPixelsX(design.width);
        if (design.runMessages) {
            width = std::max(width, panel->WidthToShow(
                                        {RunStatus::Running, RunStatus::Done, RunStatus::Failed}));
        }
        if (design.stretch == 0) {
            panel->setFixedWidth(width);  // its neighbours keep their place whatever it says
        } else {
            panel->setMinimumWidth(width);
        }
        stbMain->addWidget(panel, design.stretch);
    }
}

void frmMain::SetPanelText(const QString &key, const QString &text) {
    if (auto *panel = statusBar()->findChild<StatusPanel *>(key)) {
        panel->setFullText(text);
    }
}

QString frmMain::PanelText(const QString &key) const {
    const auto *panel = statusBar()->findChild<StatusPanel *>(key);
    return panel ? panel->fullText() : QString();
}

void frmMain::EnabledControls() {
    const bool on = gDocCount > 0;
    for (const char *name : kDocItems) {
        if (auto *action = findChild<QAction *>(QString::fromLatin1(name))) {
            action->setEnabled(on);
        }
    }
    // A disabled menu cannot be opened, and none of its items' shortcuts work either.
    for (const char *name : kDocMenus) {
        if (auto *menu = findChild<QMenu *>(QString::fromLatin1(name))) {
            menu->setEnabled(on);
            for (QAction *action : menu->actions()) {
                action->setEnabled(on);
            }
        }
    }
    auto *tlbMain = findChild<QToolBar *>(QStringLiteral("tlbMain"));
    for (const char *key : kDocButtons) {
        if (auto *action = tlbMain->findChild<QAction *>(QString::fromLatin1(key))) {
            action->setEnabled(on);
        }
    }
}

void frmMain::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        EnabledControls();
    }
    QMainWindow::changeEvent(event);
}

void frmMain::tlbMain_ButtonClick(const QString &key) {
    for (const auto &[routeKey, handler] : kMainRoutes) {
        if (key == QLatin1String(routeKey)) {
            (this->*handler)();
            return;
        }
    }
}
