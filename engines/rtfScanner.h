#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// One piece of the editor's rich text: a run of literal text, a control word (backslash,
// letters, an optional number and the one space that may end it), a control symbol (backslash
// and one character, or \'hh), or a group brace.
struct RtfToken {
    enum class Kind { Text, ControlWord, ControlSymbol, GroupOpen, GroupClose };
    Kind kind = Kind::Text;
    qsizetype start = 0;
    qsizetype length = 0;
    int depth = 0;  // 1 for the document's own text, more inside a group such as the font table
};

// Reads rich text piece by piece, without interpreting it. Any string can be read: an unclosed
// group, a backslash at the end and stray braces are pieces like the others.
class RtfScanner {
public:
    explicit RtfScanner(QStringView text) : text_(text) {}
    bool next(RtfToken &token);

    // Reads on from pos, which lies within the last piece read, for a reader that takes only
    // the start of that piece as one; the group depth stays as it is.
    void resumeAt(qsizetype pos) { pos_ = pos; }

private:
    QStringView text_;
    qsizetype pos_ = 0;
    int depth_ = 0;
};

// The letters of a control word token (without the backslash, number and space).
QStringView ControlWordName(QStringView text, const RtfToken &token);

// The number of a control word token, clamped to plus or minus 1,000,000,000 so that a long
// digit string cannot overflow; none when the word carries no digits.
std::optional<qint64> ControlWordParameter(QStringView text, const RtfToken &token);

// True when the token is one of the five colour codes \cf0 to \cf4 with its space.
bool IsColorCodeToken(QStringView text, const RtfToken &token);

// Where the document's closing piece begins: its last character (the closing brace of a
// well-formed document), or the start of the control word or escape that the text ends in, so
// that nothing is ever put inside it.
qsizetype DocumentEnd(QStringView rtf);

// Marks the characters that the user typed: literal text at depth 1 before the document's
// closing piece. Control words, escapes, braces and groups such as the font or colour table
// are never the user's text.
std::vector<bool> UserTextMask(QStringView rtf);

// The rich text with every real \tab control word of the document's text replaced by
// tabSpaceNum - 1 spaces (none when tabSpaceNum is 1 or less); the space that ends the
// control word stays, so a tab and its space become tabSpaceNum spaces.
QString ExpandRtfTabs(QStringView rtf, short tabSpaceNum);

// Where an offset of the plain text behind the rich text (each tab written "\tab ") lands once
// ExpandRtfTabs has turned every tab into tabSpaceNum spaces (one when tabSpaceNum is 1 or
// less): after the spaces of each tab before it.
int TabExpandedOffset(QStringView plainText, int offset, short tabSpaceNum);

// The rich text without the colour codes \cf0 to \cf4 (each with its space) of the document's
// text. Where a code directly follows another control word, a space takes its place, so that
// the text after it never runs into that control word.
QString RemoveRtfColorCodes(QStringView rtf);
