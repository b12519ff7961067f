#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <new>

#include "core/failure.h"

// Reading of the two keyword files that drive the colouring and the formatter. Every function
// throws a Failure with the number the engines show in their error box.

// The whole text of the keyword file: UTF-8 when valid, otherwise CP932. Failure 76 when the
// folder does not exist, 53 when the file does not, 70 when it cannot be read, and 9 when it
// holds no byte at all (a file without entries).
QString ReadKeywordFile(const QString &path);

// The lines of a keyword file, split at CR LF only (a lone CR or LF stays inside its line).
// Failure 6 when the text holds 32,767 or more line breaks: the line counter is 16 bits wide.
QStringList KeywordFileLines(const QString &content);

// Whether the lines of a keyword file are read as they stand or trimmed of the spaces around them.
enum class KeywordLineSpaces { Kept, Trimmed };

// Walks the entries of a keyword file's text: line 1 is a header, an empty line (once trimmed,
// when asked) adds nothing, and every other line is split as CSV and handed to `entry`, in
// order. Failure 9 when a line has fewer than `fieldCount` fields; the failures of
// KeywordFileLines, and whatever `entry` throws, end the walk at that line.
void ForEachKeywordEntry(const QString &content, qsizetype fieldCount, KeywordLineSpaces spaces,
                         const std::function<void(const QStringList &fields)> &entry);

// A whole number in a keyword file's field: optional blanks, an optional sign, decimal digits,
// optional blanks. Failure 13 for anything else (empty, letters, fractions, exponents), failure
// 6 for a number outside -32768 to 32767.
short KeywordFileNumber(const QString &field);

// The path of a keyword file beside the executable.
QString KeywordFileBesideProgram(const QString &fileName);

// Runs one step of a keyword engine. A failure, or running out of memory, is handed to the
// engine's error box; the result is false then.
template <typename Step, typename ShowError>
bool RunEngineStep(Step &&step, ShowError &&showError) {
    try {
        step();
        return true;
    } catch (const Failure &failure) {
        showError(failure);
    } catch (const std::bad_alloc &) {
        showError(MakeFailure(FailureNumber::OutOfMemory));
    }
    return false;
}
