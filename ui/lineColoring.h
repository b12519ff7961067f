#pragma once

#include <QObject>

#include <optional>

class clsEditColor;
class ColorKeywordCache;
class ColorLayer;
class QTextBlock;
class QTextDocument;

// Colours a document line by line, in proportion to its changes: the lines an edit touched, then
// the lines after them for as long as the edit changed whether they start inside a block
// comment. Each line keeps that state, as a syntax highlighter keeps its block states, so that
// the colours always equal those of the whole text coloured at once.
class LineColoring : public QObject {
    Q_OBJECT

public:
    LineColoring(QTextDocument *document, ColorLayer *layer);

    // Colours the lines changed since the last call (at least one line, so that the engine sees
    // its keyword file at every call), rewriting their tabs as spaces as part of the previous
    // edit. caret: an offset into the text with CR LF line breaks. Returns the caret moved past
    // the spaces that replaced tabs before it; nothing after the engine's error box, and the
    // next call then colours every line.
    std::optional<int> Recolor(clsEditColor &engine, const ColorKeywordCache &keywords, int caret);

    // Every line counts as changed at the next call (colours were set from elsewhere).
    void Invalidate() { all_ = true; }

private:
    struct Pass;
    void noteChange(int position, int charsRemoved, int charsAdded);
    bool colorChunk(Pass &pass, int first, int last, bool untouched);
    int colorCommentLines(Pass &pass, int first, int last);
    void replaceText(const QTextBlock &first, const QString &before, const QString &after);

    QTextDocument *document_;
    ColorLayer *layer_;
    bool all_ = true;   // every line is to be coloured
    bool any_ = false;  // the text between from_ and to_ changed
    bool coloring_ = false;
    int from_ = 0;  // document positions
    int to_ = 0;
    quint64 keywordsGeneration_ = 0;  // of the keyword list the colours were made with
};
