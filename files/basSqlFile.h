#pragma once

#include <QString>

#include <optional>

#include "files/textEncoding.h"

// Reads a text file as the query editor shows it: every line (ended by CR LF or a lone CR; a
// lone LF stays inside its line) followed by CR LF. A missing path gives the empty string
// silently; a read failure is shown with ShowError and gives the empty string. The encoding
// the file was read in is returned through `encoding`.
QString ReadSqlFile(const QString &path, TextEncoding *encoding = nullptr);

// Writes the text as it stands. An empty path or text writes nothing. The text goes to a
// temporary file beside the target that replaces it only when complete, so a failed write
// leaves the old file intact; a failure is shown with ShowError. Without an encoding the text
// is written as CP932, or as UTF-8 with a byte-order mark when CP932 cannot hold it. Returns
// the encoding written, or nothing when nothing was written.
std::optional<TextEncoding> WriteSqlFile(const QString &path, const QString &text,
                                         std::optional<TextEncoding> encoding = std::nullopt);

// The line rule of ReadSqlFile on text already decoded.
QString NormalizeSqlLines(const QString &text);
