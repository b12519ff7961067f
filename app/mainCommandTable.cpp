// The rows of the main window's commands: menus, items, shortcuts, toolbar buttons, which need a
// query window, and the procedure each one calls.
#include "app/mainCommandTable.h"

#include <QLatin1String>

#include <algorithm>
#include <cstring>

#include "app/frmMain.h"

namespace {

constexpr MainMenu kMenus[] = {
    {"mnuFile", "ファイル(&F)"}, {"mnuQry", "クエリ(&Q)"},  {"mnuEdit", "編集(&E)"},
    {"mnuFont", "書式(&O)"},     {"mnuTool", "ツール(&T)"}, {"mnuWindow", "ウィンドウ(&W)"},
    {"mnuHelp", "ヘルプ(&H)"},
};

// Window arrangement and the time-out have no standard icon name: the program's own icons
// show them (a stopwatch, overlapping and tiled windows).
constexpr MainCommand kCommands[] = {
    {.menu = "mnuFile",
     .name = "mnuFileConnect",
     .caption = "データ ソース接続(&C)...",
     .shortcut = Qt::Key_F4,
     .button = {"CONNECT", "network-wired", "connect", "データ ソース接続"},
     .whileBusy = WhileBusy::Disabled,
     .handler = &frmMain::mnuFileConnect_Click},
    {.menu = "mnuFile", .name = "mnuFileBar1", .caption = nullptr},
    {.menu = "mnuFile",
     .name = "mnuFileNew",
     .caption = "新規作成(N)...",
     .shortcut = Qt::CTRL | Qt::Key_N,
     .button = {"NEW", "document-new", "new", "新規作成"},
     .handler = &frmMain::mnuFileNew_Click},
    {.menu = "mnuFile", .name = "mnuFileBar2", .caption = nullptr},
    {.menu = "mnuFile",
     .name = "mnuFileOpen",
     .caption = "SQL ファイルを開く(&O)...",
     .shortcut = Qt::CTRL | Qt::Key_O,
     .button = {"OPEN", "document-open", "open", "SQL ファイルを開く"},
     .handler = &frmMain::mnuFileOpen_Click},
    {.menu = "mnuFile",
     .name = "mnuFileSave",
     .caption = "SQL ファイルを保存(&S)...",
     .shortcut = Qt::CTRL | Qt::Key_S,
     .button = {"SAVE", "document-save", "save", "SQL ファイルを保存"},
     .needsDoc = true,
     .handler = &frmMain::mnuFileSave_Click},
    {.menu = "mnuFile",
     .name = "mnuFileReopenClosed",
     .caption = "閉じたウィンドウを開く(&R)",
     .shortcut = Qt::CTRL | Qt::SHIFT | Qt::Key_T,
     .handler = &frmMain::mnuFileReopenClosed_Click},
    {.menu = "mnuFile", .name = "mnuFileBar3", .caption = nullptr},
    {.menu = "mnuFile",
     .name = "mnuFileEnd",
     .caption = "終了(&X)",
     .handler = &frmMain::mnuFileEnd_Click},

    {.menu = "mnuQry",
     .name = "mnuQryExec",
     .caption = "実行(&R)",
     .shortcut = Qt::Key_F5,
     .button = {"EXEC", "media-playback-start", "exec", "実行"},
     .needsDoc = true,
     .whileBusy = WhileBusy::Disabled,
     .handler = &frmMain::mnuQryExec_Click},
    {.menu = "mnuQry",
     .name = "mnuQryCancel",
     .caption = "実行の取り消し(&C)",
     .shortcut = Qt::ALT | Qt::Key_Pause,
     .button = {"CANCEL", "process-stop", "cancel", "実行の取り消し"},
     .needsDoc = true,
     .whileBusy = WhileBusy::Only,
     .handler = &frmMain::mnuQryCancel_Click},
    {.menu = "mnuQry", .name = "mnuQryBar1", .caption = nullptr},
    {.menu = "mnuQry",
     .name = "mnuQryArrange",
     .caption = "整形(&A)",
     .shortcut = Qt::Key_F9,
     .button = {"ARRANGE", "format-justify-left", "arrange", "整形"},
     .needsDoc = true,
     .handler = &frmMain::mnuQryArrange_Click},
    {.menu = "mnuQry", .name = "mnuQryBar2", .caption = nullptr},
    {.menu = "mnuQry",
     .name = "mnuQryTimeout",
     .caption = "クエリ タイムアウト(&T)...",
     .button = {"TIMEOUT", nullptr, "timeout", "クエリ タイムアウト"},
     .needsDoc = true,
     .handler = &frmMain::mnuQryTimeout_Click},

    {.menu = "mnuEdit",
     .name = "mnuEditSearch",
     .caption = "検索(&F)...",
     .shortcut = Qt::CTRL | Qt::Key_F,
     .button = {"SEARCH", "edit-find", "search", "検索"},
     .needsDoc = true,
     .handler = &frmMain::mnuEditSearch_Click},
    {.menu = "mnuEdit",
     .name = "mnuEditResearch",
     .caption = "再検索(&R)",
     .shortcut = Qt::Key_F3,
     .needsDoc = true,
     .handler = &frmMain::mnuEditResearch_Click},
    {.menu = "mnuEdit", .name = "mnuEditBar", .caption = nullptr},
    {.menu = "mnuEdit",
     .name = "mnuEditAll",
     .caption = "すべて選択(&A)",
     .shortcut = Qt::CTRL | Qt::Key_A,
     .needsDoc = true,
     .handler = &frmMain::mnuEditAll_Click},

    {.menu = "mnuFont",
     .name = "mnuFontFont",
     .caption = "フォント(&F)...",
     .needsDoc = true,
     .handler = &frmMain::mnuFontFont_Click},

    {.menu = "mnuTool",
     .name = "mnuToolExcel",
     .caption = "エクセルに貼り付け(&E)...",
     .button = {"EXCEL", "x-office-spreadsheet", "excel", "エクセルに貼り付け"},
     .needsDoc = true,
     .whileBusy = WhileBusy::Disabled,
     .handler = &frmMain::mnuToolExcel_Click},

    {.menu = "mnuWindow",
     .name = "mnuWindowNewWindow",
     .caption = "新しいウィンドウを開く(&N)",
     .handler = &frmMain::mnuWindowNewWindow_Click},
    {.menu = "mnuWindow", .name = "mnuWindowBar", .caption = nullptr},
    {.menu = "mnuWindow",
     .name = "mnuWindowCascade",
     .caption = "重ねて表示(&C)",
     .button = {"CASCADE", nullptr, "cascade", "重ねて表示"},
     .needsDoc = true,
     .handler = &frmMain::mnuWindowCascade_Click},
    {.menu = "mnuWindow",
     .name = "mnuWindowTileHorizontal",
     .caption = "上下に並べて表示(&H)",
     .button = {"HORIZONTAL", nullptr, "horizontal", "上下に並べて表示"},
     .needsDoc = true,
     .handler = &frmMain::mnuWindowTileHorizontal_Click},
    {.menu = "mnuWindow",
     .name = "mnuWindowTileVertical",
     .caption = "左右に並べて表示(&V)",
     .button = {"VERTICAL", nullptr, "vertical", "左右に並べて表示"},
     .needsDoc = true,
     .handler = &frmMain::mnuWindowTileVertical_Click},
    {.menu = "mnuWindow",
     .name = "mnuWindowArrangeIcons",
     .caption = "アイコンの整列(&A)",
     .needsDoc = true,
     .handler = &frmMain::mnuWindowArrangeIcons_Click},

    {.menu = "mnuHelp",
     .name = "mnuHelpVersion",
     .caption = "バージョン(&A)...",
     .handler = &frmMain::mnuHelpVersion_Click},

    // The frame's Ctrl+F4 closes the active query window wherever the focus is; no menu shows it.
    {.menu = nullptr,
     .name = "actCloseDoc",
     .caption = "",
     .shortcut = kCloseDocKey,
     .handler = &frmMain::CloseActiveDoc},
};

}  // namespace

std::span<const MainMenu> MainMenus() {
    return kMenus;
}

std::span<const MainCommand> MainCommands() {
    return kCommands;
}

bool MenuNeedsDoc(const MainMenu &menu) {
    return std::ranges::all_of(kCommands, [&](const MainCommand &command) {
        return !command.menu || std::strcmp(command.menu, menu.name) != 0 ||
               command.isSeparator() || command.needsDoc;
    });
}

const MainCommand *CommandOfButton(const QString &key) {
    const auto found = std::ranges::find_if(kCommands, [&](const MainCommand &command) {
        return command.button.key && key == QLatin1String(command.button.key);
    });
    return found == std::end(kCommands) ? nullptr : &*found;
}
