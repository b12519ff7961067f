#pragma once

#include <QString>

class QWidget;

// The open and save dialogs of .sql files: Qt's own file dialog with the filters
// "SQLファイル (*.sql)" and "すべてのファイル (*.*)" (the first chosen), starting in the folder of
// the initial path with its name filled in (the root folder when that folder does not exist).
// Both ask before returning a file that does not exist, the save dialog also before returning
// one that exists, and neither returns a file that cannot be written. True with the chosen
// path when the user chose a file; false (and an empty path) on Cancel.
bool ShowOpenDialog(QWidget *parent, const QString &initialPath, QString &chosenPath);
bool ShowSaveDialog(QWidget *parent, const QString &initialPath, QString &chosenPath);
