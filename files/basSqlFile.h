#pragma once

#include <QString>

#include <optional>

#include "engines/textEncoding.h"
#include "files/lineEnds.h"

// What a query window keeps about its file so that it writes the file back as it came: the
// encoding and line-break style in which edited text is written, and the bytes of the file as
// last read or written, which go back unchanged while the text is unchanged.
struct SqlFileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnd lineEnd = LineEnd::CrLf;
    QByteArray contents;
    friend bool operator==(const SqlFileFormat &, const SqlFileFormat &) = default;
};

// True when the file as last read or written (format's contents) reads as the text, that is the
// text is saved and unchanged since.
bool FileHoldsText(const std::optional<SqlFileFormat> &format, const QString &text);

// Reads a text file as the query editor shows it: every line break (CR LF, a lone CR, a lone
// LF) as CR LF, and a final line break only where the file has one. A missing path gives the
// empty string silently; a read failure is shown with ShowError and gives nothing, so that the
// caller can keep what it had. The file's encoding and line breaks are returned through
// `format`.
std::optional<QString> ReadSqlFile(const QString &path, SqlFileFormat *format = nullptr);

// Writes the text (line breaks as CR LF, as the editor gives them) in the format of the file it
// came from: the file's own bytes when the text is what they read as, otherwise the text in the
// file's encoding and line-break style. Without a format the text is new and is written as
// CP932 with CR LF. Whatever is written reads back as the same text: where the encoding would
// not give the text back, UTF-8 with a byte-order mark is written instead (and nothing at all,
// with an error, where not even that would). An empty path or text writes nothing. The text goes to
// a temporary file beside the target that replaces it only when complete, so a failed write leaves
// the old file intact; a failure is shown with ShowError. Returns the format written, or nothing
// when nothing was written.
std::optional<SqlFileFormat> WriteSqlFile(
    const QString &path, const QString &text,
    const std::optional<SqlFileFormat> &format = std::nullopt);
