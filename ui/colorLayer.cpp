#include "ui/colorLayer.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

class LineColors : public QTextBlockUserData {
public:
    QList<ColorLayer::LineRun> runs;
};

QColor ToColor(const RtfColor &color) {
    return QColor(color.red, color.green, color.blue);
}

}  // namespace

ColorLayer::ColorLayer(QTextDocument *document) : QObject(document), document_(document) {
    connect(document, &QTextDocument::contentsChange, this, &ColorLayer::reapply);
}

QList<ColorLayer::LineRun> ColorLayer::lineRuns(const QTextBlock &block) const {
    const auto *data = static_cast<const LineColors *>(block.userData());
    return data ? data->runs : QList<LineRun>();
}

int ColorLayer::setRuns(const QList<ColorRun> &runs) {
    return setRuns(document_->begin(), document_->blockCount(), runs);
}

int ColorLayer::setRuns(const QTextBlock &first, int lineCount, const QList<ColorRun> &runs) {
    int changed = 0;
    qsizetype next = 0;  // first run not yet placed
    QList<LineRun> lineRuns;
    qsizetype lineStart = 0;  // offset of the line in the text with CR LF breaks
    QTextBlock firstChanged;
    QTextBlock lastChanged;
    QTextBlock block = first;
    for (int line = 0; line < lineCount && block.isValid(); ++line, block = block.next()) {
        const qsizetype lineEnd = lineStart + block.length() - 1;
        const qsizetype nextLineStart = lineEnd + 2;
        lineRuns.clear();
        while (next < runs.size() && runs[next].start < nextLineStart) {
            const ColorRun &run = runs[next++];
            const qsizetype start = std::max(run.start, lineStart) - lineStart;
            const qsizetype end = std::min(run.start + run.length, lineEnd) - lineStart;
            if (end > start) {
                lineRuns.append({int(start), int(end - start), ToColor(run.color)});
            }
        }
        const auto *data = static_cast<const LineColors *>(block.userData());
        const bool same = data ? data->runs == lineRuns : lineRuns.isEmpty();
        if (!same) {
            auto *stored = new LineColors;
            stored->runs = lineRuns;
            block.setUserData(stored);
            setFormats(block, lineRuns);
            if (!firstChanged.isValid()) {
                firstChanged = block;
            }
            lastChanged = block;
            ++changed;
        }
        lineStart = nextLineStart;
    }
    // Once for all the lines: the editor's layout then lays out again only the lines it shows,
    // rather than every changed line at once.
    if (changed > 0) {
        const int from = firstChanged.position();
        document_->markContentsDirty(from, lastChanged.position() + lastChanged.length() - from);
    }
    return changed;
}

// An edit moves text within its lines; the formats of those lines are laid again from the colours
// they keep until new colours arrive.
void ColorLayer::reapply(int position, int charsRemoved, int charsAdded) {
    Q_UNUSED(charsRemoved);
    QTextBlock block = document_->findBlock(position);
    const QTextBlock last = document_->findBlock(position + charsAdded);
    while (block.isValid()) {
        // Only a line with colours has formats; asking others for their layout would make one.
        if (block.userData()) {
            show(block, lineRuns(block));
        }
        if (block == last) {
            break;
        }
        block = block.next();
    }
}

void ColorLayer::show(const QTextBlock &block, const QList<LineRun> &runs) {
    setFormats(block, runs);
    document_->markContentsDirty(block.position(), block.length());
}

void ColorLayer::setFormats(const QTextBlock &block, const QList<LineRun> &runs) {
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(runs.size());
    const int length = block.length() - 1;
    for (const LineRun &run : runs) {
        const int end = std::min(run.start + run.length, length);
        if (end <= run.start) {
            continue;
        }
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = end - run.start;
        range.format.setForeground(run.color);
        ranges.append(range);
    }
    block.layout()->setFormats(ranges);
}
