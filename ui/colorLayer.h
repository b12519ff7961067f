#pragma once

#include <QColor>
#include <QList>
#include <QObject>

#include "engines/richTextBridge.h"

class QTextBlock;
class QTextDocument;

// Shows colours on a document as presentation formats of its line layouts, the way a syntax
// highlighter does: the document's text, undo history and change signals are never touched.
// Each line keeps the colours it shows, so that a new set of colours re-lays out only the lines
// whose colours differ.
class ColorLayer : public QObject {
    Q_OBJECT

public:
    // A coloured stretch within one line.
    struct LineRun {
        int start = 0;
        int length = 0;
        QColor color;
        friend bool operator==(const LineRun &, const LineRun &) = default;
    };

    explicit ColorLayer(QTextDocument *document);

    // Shows the runs (offsets in the editor text with CR LF line breaks, no run across a line
    // break) and drops every other colour. Returns the number of lines whose colours changed.
    int setRuns(const QList<ColorRun> &runs);

    // The same for `lineCount` lines from `first` on: the runs' offsets count from the start of
    // `first`, and only those lines change.
    int setRuns(const QTextBlock &first, int lineCount, const QList<ColorRun> &runs);

    // The colours shown on one line.
    QList<LineRun> lineRuns(const QTextBlock &block) const;

private:
    void reapply(int position, int charsRemoved, int charsAdded);
    void show(const QTextBlock &block, const QList<LineRun> &runs);
    void setFormats(const QTextBlock &block, const QList<LineRun> &runs);

    QTextDocument *document_;
};
