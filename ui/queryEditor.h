#pragma once

#include <QPlainTextEdit>

#include <optional>
#include <utility>

class clsEditColor;
class ColorKeywordCache;
class ColorLayer;
class LineColoring;

// The query editor. It offers the operations the program uses on its query text: the plain
// text with CR LF line breaks, the text as RTF for the colouring engine, the caret and
// selection as offsets into that text (a line break counts as two characters), and the drop of
// a file. Colours are shown as presentation formats and never enter the undo history.
class QueryEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit QueryEditor(QWidget *parent = nullptr);

    // The whole text, lines separated by CR LF. Writing replaces the whole text as one edit
    // (CR LF, a lone CR and a lone LF all end a line).
    QString Text() const;
    void setText(const QString &text);
    // The document's text as it holds it, taken in one copy; TextFromRaw turns it into Text()
    // on any thread, so that a long text leaves the user-interface thread at once.
    QString RawText() const;
    static QString TextFromRaw(QString raw);

    // The whole text as RTF. Writing shows the colours of the RTF; when its plain text differs
    // from the editor's, only the part that differs is replaced, as part of the previous edit,
    // so that one undo takes back an edit together with the rewriting that followed it.
    QString TextRTF() const;
    void setTextRTF(const QString &rtf);

    // Removes every colour.
    void ClearColors();

    // Colours the lines changed since the last colouring, and the lines after them whose
    // colours depend on them, with the colours the engine gives the whole text: those on screen
    // at once, the others as they come into view (ColorShownLines). Tabs in the changed lines
    // become spaces as part of the previous edit. caret: an offset into Text(). Returns it moved
    // past the spaces that replaced tabs before it; nothing after the engine's error box.
    std::optional<int> ColorChangedLines(clsEditColor &engine, const ColorKeywordCache &keywords,
                                         int caret);

    // Colours the lines on screen (and a few around them) that have not been coloured since
    // their text or state last changed. Lines off screen are coloured only as they come into
    // view: linesShowing asks for it before every paint. False when the engine failed.
    bool ColorShownLines(clsEditColor &engine, const ColorKeywordCache &keywords);

    // The caret and the selection as offsets into Text(). Writing SelStart places the caret
    // there and drops the selection; writing SelLength selects that many characters from
    // SelStart. Offsets beyond the text are clamped; an offset inside a line break stands for
    // the end of its line.
    int SelStart() const;
    void setSelStart(int offset);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);

    // The colour shown at an offset of Text(); invalid where the default colour shows.
    QColor colorAt(int offset) const;

signals:
    // Emitted at the start of every paint, so that the lines about to show can be coloured.
    void linesShowing();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    std::pair<int, int> shownLines() const;
    int toTextOffset(int position) const;
    int toPosition(int offset) const;
    void replaceChangedPart(const QString &newText);
    void loadDroppedFile(const QString &path);

    ColorLayer *colors_;
    LineColoring *lines_;
};
