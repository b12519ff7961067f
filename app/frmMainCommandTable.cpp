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
#include <cstring>

#include "app/basGlobals.h"
#include "app/mainCommandTable.h"
#include "core/failure.h"
#include "core/settings.h"
#include "ui/formFont.h"
#include "ui/frmSQL.h"
#include "ui/icons.h"
#include "ui/queryEditor.h"
#include "ui/runProgress.h"
#include "ui/statusPanel.h"
#include "ui/twips.h"
#include "ui/windowArrangement.h"

namespace {

// Design sizes, in twips.
constexpr int kTableListWidth = 3495;

// The status bar's panels from the left: the run's messages in a box of its own width, the run's
// progress (rows and time), then the data source, which also takes what room the bar has left.
enum class PanelTexts { Any, RunMessages, RunProgress };
struct StatusPanelDesign {
    const char *key;
    int width;    // twips
    int stretch;  // 0: exactly its width; more: at least its width, sharing the rest
    // Wide enough for the texts it shows also where the font is wider.
    PanelTexts texts;
};
const StatusPanelDesign kStatusPanels[] = {{"MESSAGE", 3000, 0, PanelTexts::RunMessages},
                                           {"PROGRESS", 2600, 0, PanelTexts::RunProgress},
                                           {"DSN", 4000, 1, PanelTexts::Any}};

// The longest progress a run of some ten million rows shows: cancelled, with rows and minutes.
QString WidestProgress() {
    RunProgress progress;
    progress.state = RunProgress::State::Cancelled;
    progress.hasResult = true;
    progress.rows = 88'888'888;
    progress.elapsedMs = 8'888'800;
    return RunProgressText(progress);
}

const ToolbarButton kGridButtons[] = {
    {"START", "go-first", "first", "最初のレコード"},
    {"DBL_BACK", "media-seek-backward", "back10", "10件戻る"},
    {"SGL_BACK", "go-previous", "back1", "1件戻る"},
    {"SGL_NEXT", "go-next", "next1", "1件進む"},
    {"DBL_NEXT", "media-seek-forward", "next10", "10件進む"},
    {"END", "go-last", "last", "最後のレコード"},
};

bool OnMenu(const MainCommand &command, const MainMenu &menu) {
    return command.menu && std::strcmp(command.menu, menu.name) == 0;
}

// Names the action and, unless it is a separator, gives it the command's key and procedure.
void SetUpCommand(QAction *action, const MainCommand &command, frmMain *window) {
    action->setObjectName(QString::fromLatin1(command.name));
    if (command.isSeparator()) {
        return;
    }
    action->setShortcut(QKeySequence(command.shortcut));
    // Shortcuts reach the command only while the action (and so its menu) is enabled.
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, command.handler);
}

QAction *AddButton(QToolBar *toolbar, const ToolbarButton &button) {
    const QString key = QString::fromLatin1(button.key);
    QAction *action = toolbar->addAction(ToolbarIcon(button.themeIcon, button.ownIcon), QString());
    action->setObjectName(key);
    action->setToolTip(QString::fromUtf8(button.tooltip));
    toolbar->widgetForAction(action)->setObjectName(key);
    return action;
}

}  // namespace

void frmMain::buildMenus() {
    for (const MainMenu &spec : MainMenus()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(spec.caption));
        menu->setObjectName(QString::fromLatin1(spec.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(spec.name));
        for (const MainCommand &command : MainCommands()) {
            if (OnMenu(command, spec)) {
                SetUpCommand(command.isSeparator()
                                 ? menu->addSeparator()
                                 : menu->addAction(QString::fromUtf8(command.caption)),
                             command, this);
            }
        }
    }
    for (const MainCommand &command : MainCommands()) {
        if (!command.menu) {
            auto *action = new QAction(QString::fromUtf8(command.caption), this);
            addAction(action);
            SetUpCommand(action, command, this);
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
    // The buttons follow the menus' order, a separator between those of different menus.
    const char *previousMenu = nullptr;
    for (const MainCommand &command : MainCommands()) {
        if (!command.button.key) {
            continue;
        }
        if (previousMenu && std::strcmp(previousMenu, command.menu) != 0) {
            tlbMain->addSeparator();
        }
        previousMenu = command.menu;
        const QString key = QString::fromLatin1(command.button.key);
        connect(AddButton(tlbMain, command.button), &QAction::triggered, this,
                [this, key] { tlbMain_ButtonClick(key); });
    }

    auto *tlbGrid = new QToolBar(this);
    tlbGrid->setObjectName(QStringLiteral("tlbGrid"));
    tlbGrid->setMovable(false);
    tlbGrid->setIconSize(QSize(16, 16));
    addToolBar(Qt::BottomToolBarArea, tlbGrid);
    for (const ToolbarButton &button : kGridButtons) {
        const QString key = QString::fromLatin1(button.key);
        connect(AddButton(tlbGrid, button), &QAction::triggered, this,
                [this, key] { tlbGrid_ButtonClick(key); });
    }
    cboTable_ = new QComboBox(tlbGrid);
    cboTable_->setObjectName(QStringLiteral("cboTable"));
    cboTable_->setEditable(true);
    cboTable_->setToolTip(QStringLiteral("テーブルの指定"));
    cboTable_->setFont(FormFont());
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
        if (design.texts == PanelTexts::RunMessages) {
            width = std::max(width, panel->WidthToShow(
                                        {RunStatus::Running, RunStatus::Done, RunStatus::Failed}));
        } else if (design.texts == PanelTexts::RunProgress) {
            width = std::max(width, panel->WidthToShow({WidestProgress()}));
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
    const bool docs = gDocCount > 0;
    const bool busy = Busy();
    auto *tlbMain = findChild<QToolBar *>(QStringLiteral("tlbMain"));
    for (const MainCommand &command : MainCommands()) {
        if (command.isSeparator()) {
            continue;
        }
        const bool on =
            (!command.needsDoc || docs) && (command.whileBusy == WhileBusy::Enabled ||
                                            (command.whileBusy == WhileBusy::Only) == busy);
        if (auto *action = findChild<QAction *>(QString::fromLatin1(command.name))) {
            action->setEnabled(on);
        }
        if (command.button.key) {
            if (auto *action =
                    tlbMain->findChild<QAction *>(QString::fromLatin1(command.button.key))) {
                action->setEnabled(on);
            }
        }
    }
    // A disabled menu cannot be opened, and none of its items' shortcuts work either.
    for (const MainMenu &spec : MainMenus()) {
        if (auto *menu =
                MenuNeedsDoc(spec) ? findChild<QMenu *>(QString::fromLatin1(spec.name)) : nullptr) {
            menu->setEnabled(docs);
            for (QAction *action : menu->actions()) {
                if (!docs || action->isSeparator()) {
                    action->setEnabled(docs);
                }
            }
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
    if (const MainCommand *command = CommandOfButton(key)) {
        (this->*command->handler)();
    }
}
