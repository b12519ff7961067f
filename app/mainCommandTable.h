#pragma once

#include <QKeyCombination>
#include <QString>

#include <span>

class frmMain;

// A toolbar button: its key (also the object name of its action and its button), its icon and
// its tooltip.
struct ToolbarButton {
    const char *key = nullptr;        // nullptr: no button
    const char *themeIcon = nullptr;  // freedesktop name; nullptr where no standard name fits
    const char *ownIcon = nullptr;    // the program's own icon, when the theme has none
    const char *tooltip = nullptr;
};

// A menu of the menu bar, in the bar's order.
struct MainMenu {
    const char *name;  // object name of the menu and of its action on the bar
    const char *caption;
};

inline constexpr QKeyCombination kNoShortcut = QKeyCombination::fromCombined(0);
// Closes the active query window from anywhere in the frame.
inline constexpr QKeyCombination kCloseDocKey = Qt::CTRL | Qt::Key_F4;

// Whether a command can be used while the connection's worker is busy (a run, an export, the
// table list): commands that need the connection wait until it is free, the cancel exists only
// while something runs.
enum class WhileBusy { Enabled, Disabled, Only };

// One command of the main window, or a separator line between menu items. The menus, their
// items' shortcuts, the main toolbar and which commands are enabled all follow these rows.
struct MainCommand {
    const char *menu;     // the MainMenu it shows on; nullptr: a key of the window, no item
    const char *name;     // object name of its action
    const char *caption;  // nullptr: a separator line
    QKeyCombination shortcut = kNoShortcut;
    ToolbarButton button = {};  // its button on the main toolbar, if it has one
    bool needsDoc = false;      // disabled while no query window is open
    WhileBusy whileBusy = WhileBusy::Enabled;
    void (frmMain::*handler)() = nullptr;

    bool isSeparator() const { return caption == nullptr; }
};

std::span<const MainMenu> MainMenus();
// In menu order: a menu's items in the order they show, the main toolbar's buttons too.
std::span<const MainCommand> MainCommands();
// True when every command of the menu needs a query window: the menu as a whole is disabled
// while none is open.
bool MenuNeedsDoc(const MainMenu &menu);
// The command of a main-toolbar key (case-sensitive), or nullptr.
const MainCommand *CommandOfButton(const QString &key);
