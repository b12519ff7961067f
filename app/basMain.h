#pragma once

#include <QStringList>

class QApplication;
class frmMain;
class SessionKeeper;

// Starts the program: the application object, its translations and message boxes, the shared
// state, the main window, the first connection and the first query window. Returns the
// program's exit code.
int Main(int argc, char *argv[]);

// Everything Main does once the process is prepared and the application object exists, up to
// the end of its event loop. Returns the program's exit code.
int RunProgram(QApplication &app);

// What the process needs before the application object exists: a UTF-8 character locale and Qt's
// locale in Japanese (see JapaneseQt), whatever the user's locale.
void PrepareProcess();

// Gives the application its name and its icon, which every window without an icon of its own
// shows (the main window, the query windows, the dialogs).
void PrepareApplication();

// Puts the shared state in its initial condition: closed connection, no windows, no search.
void ResetSharedState();

// The start-up sequence on a created main window: show it, ask for a data source, bring back
// the windows of the last session (with a session keeper), open the first query window (or one
// window for each .sql file given, with its text) unless windows came back, fill the table
// list and show the data source name. A failure is shown and ends the sequence; the window
// stays.
void StartUp(frmMain &mainWindow, const QStringList &files = {}, SessionKeeper *session = nullptr);

// Makes the character-type locale UTF-8 (C.UTF-8 unless it already is UTF-8), so that ODBC
// drivers convert Japanese text to and from wide characters. Call before the first ODBC call.
void EnsureUtf8CharacterLocale();
