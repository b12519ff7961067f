#include "ui/queryEditor.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>
#include <QUrl>

#include "engines/richTextBridge.h"
#include "files/basSqlFile.h"
#include "ui/colorLayer.h"
#include "ui/lineColoring.h"

namespace {

// Lines coloured beyond each edge of the screen, so that a short scroll finds them coloured.
constexpr int kShownMargin = 16;

// The text with every line break as the single character the document uses; in one pass, since
// replacing each CR LF in place moves the rest of a long text every time.
QString ToDocumentBreaks(const QString &text) {
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    const QChar *in = text.constData();
    const QChar *const end = in + text.size();
    for (; in != end; ++in) {
        if (*in == QLatin1Char('\r')) {
            *out++ = QLatin1Char('\n');
            if (in + 1 != end && in[1] == QLatin1Char('\n')) {
                ++in;
            }
        } else {
            *out++ = *in;
        }
    }
    result.truncate(out - result.constData());
    return result;
}

}  // namespace

QueryEditor::QueryEditor(QWidget *parent)
    : QPlainTextEdit(parent),
      colors_(new ColorLayer(document())),
      lines_(new LineColoring(document(), colors_)) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

QString QueryEditor::Text() const {
    const QTextDocument *doc = document();
    QString text;
    text.reserve(doc->characterCount() + doc->blockCount());
    bool first = true;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (!first) {
            text.append(QLatin1String("\r\n"));
        }
        first = false;
        text.append(block.text());
    }
    return text;
}

QString QueryEditor::RawText() const {
    return document()->toRawText();
}

// The raw text separates blocks with U+2029; a line separator inside a block stays as it is.
QString QueryEditor::TextFromRaw(QString raw) {
    return raw.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
}

// The old text goes in an edit of its own, joined to the insertion of the new one: emptied first,
// the editor forgets the width of the old text's widest line, which it would otherwise look for
// again among all the new lines. A vertical scroll bar that appears narrows the view, which makes
// the editor lay out every line again: it is shown while the old text is in, and stays if the new
// text needs it.
void QueryEditor::setText(const QString &text) {
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    if (policy == Qt::ScrollBarAsNeeded) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    cursor.joinPreviousEditBlock();
    cursor.insertText(text);  // a line ends at CR LF, a lone CR or a lone LF here too
    cursor.endEditBlock();
    setTextCursor(cursor);
    setVerticalScrollBarPolicy(policy);
}

QString QueryEditor::TextRTF() const {
    return PlainToRtf(Text());
}

void QueryEditor::setTextRTF(const QString &rtf) {
    const RtfDocument parsed = ParseRtf(rtf);
    if (parsed.text != Text()) {
        replaceChangedPart(parsed.text);
    }
    colors_->setRuns(parsed.runs);
    lines_->Invalidate();
}

void QueryEditor::ClearColors() {
    colors_->setRuns({});
    lines_->Invalidate();
}

std::optional<int> QueryEditor::ColorChangedLines(clsEditColor &engine,
                                                  const ColorKeywordCache &keywords, int caret) {
    const auto [first, last] = shownLines();
    return lines_->Recolor(engine, keywords, caret, {first, last});
}

bool QueryEditor::ColorShownLines(clsEditColor &engine, const ColorKeywordCache &keywords) {
    const auto [first, last] = shownLines();
    return lines_->ColorShown(engine, keywords, {first, last});
}

// Every line is one row high: the editor does not wrap.
std::pair<int, int> QueryEditor::shownLines() const {
    const int first = firstVisibleBlock().blockNumber();
    const int rows = viewport()->height() / std::max(fontMetrics().lineSpacing(), 1) + 1;
    return {std::max(first, 0) - kShownMargin, std::max(first, 0) + rows + kShownMargin};
}

void QueryEditor::paintEvent(QPaintEvent *event) {
    emit linesShowing();
    QPlainTextEdit::paintEvent(event);
}

// Replaces only the characters between the common beginning and the common end of the old and
// the new text, so that the lines around keep their layout and colours.
void QueryEditor::replaceChangedPart(const QString &newText) {
    QString before;
    before.reserve(document()->characterCount());
    bool first = true;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (!first) {
            before.append(QLatin1Char('\n'));
        }
        first = false;
        before.append(block.text());
    }
    const QString after = ToDocumentBreaks(newText);
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    cursor.setPosition(int(head));
    cursor.setPosition(int(before.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(after.mid(head, after.size() - tail - head));
    cursor.endEditBlock();
}

int QueryEditor::toTextOffset(int position) const {
    return position + document()->findBlock(position).blockNumber();
}

int QueryEditor::toPosition(int offset) const {
    const QTextDocument *doc = document();
    if (offset <= 0) {
        return 0;
    }
    // The last line whose start in Text() lies at or before the offset.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (doc->findBlockByNumber(middle).position() + middle <= offset) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const int column = std::min(offset - (block.position() + low), block.length() - 1);
    return block.position() + column;
}

int QueryEditor::SelStart() const {
    return toTextOffset(textCursor().selectionStart());
}

void QueryEditor::setSelStart(int offset) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(toPosition(offset));
    setTextCursor(cursor);
}

int QueryEditor::SelLength() const {
    const QTextCursor cursor = textCursor();
    return toTextOffset(cursor.selectionEnd()) - toTextOffset(cursor.selectionStart());
}

void QueryEditor::setSelLength(int length) {
    const int start = SelStart();
    QTextCursor cursor = textCursor();
    cursor.setPosition(toPosition(start));
    cursor.setPosition(toPosition(start + std::max(length, 0)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString QueryEditor::SelText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

void QueryEditor::setSelText(const QString &text) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(ToDocumentBreaks(text));
    cursor.endEditBlock();
    setTextCursor(cursor);
}

// A typed tab is rewritten as spaces by the colouring that follows. The key's edit is made an
// edit block of its own so that the rewriting can join it: one undo then takes back both, and
// undo never brings back a tab that would at once be rewritten again. Other keys are left to
// merge into one undo step as usual.
void QueryEditor::keyPressEvent(QKeyEvent *event) {
    if (!event->text().contains(QLatin1Char('\t'))) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor block(document());
    block.beginEditBlock();
    QPlainTextEdit::keyPressEvent(event);
    block.endEditBlock();
}

QColor QueryEditor::colorAt(int offset) const {
    const int position = toPosition(offset);
    const QTextBlock block = document()->findBlock(position);
    const int column = position - block.position();
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (column >= range.start && column < range.start + range.length &&
            range.format.hasProperty(QTextFormat::ForegroundBrush)) {
            return range.format.foreground().color();
        }
    }
    return QColor();
}

bool QueryEditor::canInsertFromMimeData(const QMimeData *source) const {
    return source->hasUrls() || QPlainTextEdit::canInsertFromMimeData(source);
}

// A dropped file list loads the first file in place of the whole text; other data is inserted
// as the plain editor does.
void QueryEditor::insertFromMimeData(const QMimeData *source) {
    if (!source->hasUrls()) {
        QTextCursor block(document());
        block.beginEditBlock();
        QPlainTextEdit::insertFromMimeData(source);
        block.endEditBlock();
        return;
    }
    const QList<QUrl> urls = source->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        loadDroppedFile(urls.first().toLocalFile());
    }
}

void QueryEditor::loadDroppedFile(const QString &path) {
    // Only an ordinary, visible file counts; folders and anything else change nothing.
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden()) {
        return;
    }
    const std::optional<QString> text = ReadSqlFile(path);
    if (!text) {
        return;  // the file could not be read (already reported); keep the user's text
    }
    setText(*text);
}
