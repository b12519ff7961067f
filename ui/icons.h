#pragma once

#include <QIcon>

// The program's own icon (the database drum with a query sheet), for every window and the
// version dialog.
QIcon ProgramIcon();

// A toolbar icon: the desktop theme's icon of `themeName` when the theme has one, otherwise the
// program's own `toolbar/<bundledName>.svg`; `themeName` may be null where no standard name says
// what the button does. Disabled, the icon is drawn grey and faint, so that a disabled button
// never looks like an enabled one (the style's own disabled look hardly changes dark icons).
QIcon ToolbarIcon(const char *themeName, const char *bundledName);

// The faint grey form of a pixmap that a disabled toolbar icon shows.
QPixmap DisabledLook(const QPixmap &pixmap);
