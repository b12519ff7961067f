#pragma once

#include <QString>
#include <QStringView>

// The line breaks of text files. The query editor works with CR LF only; a file keeps its own.
enum class LineEnd { CrLf, Lf, Cr };

// The style of a file's line breaks: its only one, or the most frequent one where it mixes
// them (on a tie CR LF, then LF, then CR); `whenNone` for a text without any break.
LineEnd DetectLineEnd(QStringView fileText, LineEnd whenNone = LineEnd::CrLf);

// The text with every line break (CR LF, a lone CR, a lone LF) as CR LF.
QString ToCrLf(const QString &text);

// The text, whose line breaks are CR LF, with every line break in the style.
QString WithLineEnd(QString crLfText, LineEnd style);
