#pragma once

#include <QString>

// Helpers shared by the keyword engine tests.

// A file's bytes as text (UTF-8).
QString ReadTestFile(const QString &path);
void WriteTestFile(const QString &path, const QString &text);

// Writes a keyword file into the test's private folder and returns its path. Lines are joined
// with CR LF, the header "HEADER" first, unless `raw` is given whole.
QString WriteKeywordFile(const QString &name, const QStringList &lines);
QString WriteRawKeywordFile(const QString &name, const QByteArray &bytes);

// A document as the editor's rich-text bridge writes it: header, each line followed by
// "\par ", tabs as "\tab ", backslash and braces escaped, then the closing brace.
inline constexpr char kEditorRtfHeader[] = "{\\rtf1\\ansi\\deff0\\pard\\fs20 ";
QString EditorRtf(const QString &plainText);

// Text for a failure message: lines of a long string split so that a diff is readable.
std::string Readable(const QString &text, bool rtf);
