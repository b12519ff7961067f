#pragma once

#include <QStringList>

// Cuts one line of a keyword file into its fields. A field that starts with a double quote
// runs to the next double quote (searched from the second character after it on); the one
// character after the closing quote is skipped. Nothing is trimmed or converted. A comma at
// the end of the line gives no final empty field. More than 32,767 fields throw Failure 6.
QStringList SplitCsvLine(const QString &line);
