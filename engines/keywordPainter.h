#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <vector>

// One entry of the colouring keyword file.
struct ColorKeyword {
    QString Keyword;       // matched without regard to letter case
    short ColorIndex = 0;  // 1 to 3 pick a colour; any other value the default colour
};

// Inserts the colour codes into one document. The codes are kept beside the characters, in
// the gaps between them, rather than written into the string, so that each match costs only
// its own length and the whole colouring stays linear in the length of the document. Matching
// sees the text exactly as if every code had been written in at once: a code ends in a space
// and begins with a backslash, both delimiters.
class KeywordPainter {
public:
    // rtf: the document with the colour table already after its opening brace.
    explicit KeywordPainter(QString rtf);

    // Applies the entries in order, each to the whole text as the earlier ones left it. A
    // keyword is coloured where it stands between delimiters in the user's text; entries with
    // an empty keyword are skipped.
    void ColorKeywords(const QList<ColorKeyword> &list);

    // Colours every line comment (-- to the end of its line) and block comment (/* to */)
    // green, removing the keyword colours inside them. startsInComment: the text continues a
    // block comment opened before it, so that it is green up to the first */.
    void ColorComments(bool startsInComment = false);

    // For every "\par " of the document, in order: whether it lies inside a block comment, so
    // that the line after it starts in one. Valid after ColorComments.
    std::vector<bool> ParagraphEndsInComment() const;

    // The document with all codes written in, followed by one space.
    QString Result() const;

private:
    struct Gap {
        int closes = 0;                      // "\cf0 " codes, written first
        QVarLengthArray<char16_t, 2> opens;  // digits of the opening codes, in order
    };

    Gap &gapAt(qsizetype i);
    bool gapEmpty(qsizetype i) const;
    void clearGaps(qsizetype first, qsizetype last);
    void WrapKeyword(qsizetype p, qsizetype e, short colorIndex);
    static bool IsDelimiter(QChar c);
    bool delimiterBefore(qsizetype p) const;
    bool delimiterAfter(qsizetype e) const;
    bool isUserText(qsizetype p, qsizetype e) const;
    void colorPhrase(QStringView lowered, short colorIndex);
    qsizetype findUserMarker(QStringView marker, qsizetype from) const;
    qsizetype findParagraphEnd(qsizetype from);
    qsizetype firstLineStart() const;

    QString r_;
    QString lower_;
    std::vector<bool> user_;
    std::vector<int> slot_;  // index into gaps_ per gap, -1 when nothing was inserted there
    std::vector<Gap> gaps_;
    std::vector<qsizetype> paragraphEnds_;  // starts of the real "\par " control words
    size_t nextParagraphEnd_ = 0;
    struct Span {
        qsizetype start;
        qsizetype end;  // exclusive
    };
    std::vector<Span> blockComments_;  // in text order
};
