#pragma once

#include <QByteArray>
#include <QString>

// Prepares the process for tests: a UTF-8 character locale, the settings store and the
// configuration folder in a private temporary folder, and a presenter that fails the test
// on any box it did not expect. Call once from main before the application object exists.
void PrepareTestProcess();

// The private folder of this test process (removed at exit).
QString TestProcessFolder();

// Removes every stored setting (between tests).
void ClearSettings();

// The folder that holds the test data files of the repository (tests/).
QString TestSourceFolder();

// The bytes of a file; a file that cannot be read fails the test (and gives no bytes).
QByteArray ReadBytes(const QString &path);

// Writes the bytes as the whole file; a file that cannot be written fails the test.
void WriteBytes(const QString &path, const QByteArray &bytes);
