#pragma once

#include <QList>
#include <QString>

// The editor's text as RTF and back. The editor keeps plain text; the colouring engine works on
// RTF. This bridge writes the plain text in the small RTF form the engine expects and reads the
// engine's coloured result back into plain text and colour runs.

// One entry of an RTF colour table. The empty first entry of a table is the default colour.
struct RtfColor {
    bool isDefault = true;
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const RtfColor &, const RtfColor &) = default;
};

// A stretch of text in one colour other than the default. Offsets count characters of the plain
// text; a run never covers a line break.
struct ColorRun {
    qsizetype start = 0;
    qsizetype length = 0;
    RtfColor color;

    friend bool operator==(const ColorRun &, const ColorRun &) = default;
};

// A parsed RTF document: the plain text with CR LF line breaks, its coloured stretches in text
// order, and the colour table as it was read.
struct RtfDocument {
    QString text;
    QList<ColorRun> runs;
    QList<RtfColor> colors;
};

// The header that starts every document the bridge writes.
inline constexpr char kRtfHeader[] = "{\\rtf1\\ansi\\pard\\fs20 ";

// Writes plain text as RTF: the header, every line followed by "\par " (the last line too),
// each tab as "\tab ", backslash and braces escaped, every other character as it stands, then
// the closing brace. CR LF, a lone CR and a lone LF all end a line.
QString PlainToRtf(const QString &text);

// Reads RTF into plain text and colour runs. "\par" ends a line (the last "\par" of the
// document ends the last line and adds no break), "\tab" is a tab, the colour table is honoured
// wherever it stands, "\cfN" selects entry N. Unknown control words and destinations are
// skipped. Any input gives a result: malformed RTF never fails.
RtfDocument ParseRtf(const QString &rtf);
