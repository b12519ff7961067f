#pragma once

// Starts the program: the application object, its translations and message boxes, the shared
// state and the main window. Returns the program's exit code.
int Main(int argc, char *argv[]);

// Makes the character-type locale UTF-8 (C.UTF-8 unless it already is UTF-8), so that ODBC
// drivers convert Japanese text to and from wide characters. Call before the first ODBC call.
void EnsureUtf8CharacterLocale();
