#pragma once

#include <QObject>

#include <optional>

class clsEditColor;
class ColorKeywordCache;
class ColorLayer;
class QTextBlock;
class QTextDocument;

// Colours a document line by line, in proportion to what is changed and what is shown. Each line
// keeps whether it starts and whether it ends inside a block comment, as a syntax highlighter
// keeps its block states. An edit brings its lines' text and states up to date at once (tabs
// become spaces; the states of the lines after follow from a cheap scan for comment markers), but
// colours only the lines on screen: the others are coloured as they come into view, from their
// exact state, so the colours seen always equal those of the whole text coloured at once.
class LineColoring : public QObject {
    Q_OBJECT

public:
    // Lines by number, both ends included; clamped to the document.
    struct LineRange {
        int first = 0;
        int last = 0;
    };

    LineColoring(QTextDocument *document, ColorLayer *layer);

    // Takes in the lines changed since the last call: rewrites their tabs as spaces as part of the
    // previous edit, works out the states of every line they affect, colours the first of them
    // (at least one line, so that the engine sees its keyword file at every call) and the lines
    // of `shown` whose colours are out of date. caret: an offset into the text with CR LF line
    // breaks. Returns the caret moved past the spaces that replaced tabs before it; nothing after
    // the engine's error box, and the next call then takes in every line.
    std::optional<int> Recolor(clsEditColor &engine, const ColorKeywordCache &keywords, int caret,
                               LineRange shown);

    // Colours the lines of `shown` whose colours are out of date. False when the engine failed;
    // the lines then keep what they show.
    bool ColorShown(clsEditColor &engine, const ColorKeywordCache &keywords, LineRange shown);

    // Every line counts as changed at the next call (colours were set from elsewhere).
    void Invalidate() { all_ = true; }

private:
    struct Pass;
    void noteChange(int position, int charsRemoved, int charsAdded);
    bool colorLines(Pass &pass, int first, int last);
    bool colorStaleLines(Pass &pass, LineRange shown);
    bool colorShownAfterKeywords(Pass &pass, const ColorKeywordCache &keywords, LineRange shown);
    void takeInLines(Pass &pass, int first, int last);
    void followStates(int first, bool startsInComment);
    void markAllStale();
    void replaceText(const QTextBlock &first, const QString &before, const QString &after);

    QTextDocument *document_;
    ColorLayer *layer_;
    bool all_ = true;   // every line is to be taken in
    bool any_ = false;  // the text between from_ and to_ changed
    bool coloring_ = false;
    int from_ = 0;  // document positions
    int to_ = 0;
    quint64 keywordsGeneration_ = 0;  // of the keyword list the colours were made with
};
