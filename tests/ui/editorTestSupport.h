#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

// Drops local files onto a widget as a file manager does: drag enter, then drop.
void DropFiles(QWidget *target, const QStringList &paths);

// Writes the bytes to a file, replacing it; false when it cannot be written.
bool WriteTestFile(const QString &path, const QByteArray &bytes);
