#include "ui/lineColoring.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "engines/clsEditColor.h"
#include "engines/colorKeywordCache.h"
#include "engines/rtfScanner.h"
#include "ui/colorLayer.h"

namespace {

// A line's state, kept as its block's user state: whether it starts and whether it ends inside
// a block comment. A line never coloured has the state -1.
constexpr int kUnknown = -1;
constexpr int kStartsInComment = 1;
constexpr int kEndsInComment = 2;

// Lines coloured in one go past the changed ones; the count doubles with every further go.
constexpr int kFirstChunk = 64;

int LineState(bool startsInComment, bool endsInComment) {
    return (startsInComment ? kStartsInComment : 0) | (endsInComment ? kEndsInComment : 0);
}

QString LinesText(QTextBlock block, int count, QLatin1StringView lineBreak) {
    QString text;
    for (int line = 0; line < count && block.isValid(); ++line, block = block.next()) {
        if (line > 0) {
            text.append(lineBreak);
        }
        text.append(block.text());
    }
    return text;
}

}  // namespace

struct LineColoring::Pass {
    clsEditColor &engine;
    int caret;
    bool startsInComment;  // the state of the next line to colour
    bool stopped = false;  // the lines from the next one on keep their colours
};

LineColoring::LineColoring(QTextDocument *document, ColorLayer *layer)
    : QObject(document), document_(document), layer_(layer) {
    connect(document, &QTextDocument::contentsChange, this, &LineColoring::noteChange);
}

// Widens the changed stretch by one edit; the stretch noted before moves with the text.
void LineColoring::noteChange(int position, int charsRemoved, int charsAdded) {
    if (all_ || coloring_) {
        return;
    }
    const int removedEnd = position + charsRemoved;
    const auto moved = [&](int at, int inside) {
        return at < position ? at : at >= removedEnd ? at + charsAdded - charsRemoved : inside;
    };
    if (!any_) {
        from_ = position;
        to_ = position + charsAdded;
        any_ = true;
        return;
    }
    from_ = std::min(moved(from_, position), position);
    to_ = std::max(moved(to_, position + charsAdded), position + charsAdded);
}

std::optional<int> LineColoring::Recolor(clsEditColor &engine, const ColorKeywordCache &keywords,
                                         int caret) {
    const int lastLine = document_->blockCount() - 1;
    const int lastPosition = std::max(document_->characterCount() - 1, 0);
    int first = 0;
    int last = 0;  // with nothing changed, the first line: the keyword file is still looked at
    if (all_) {
        last = lastLine;
    } else if (any_) {
        first = document_->findBlock(std::clamp(from_, 0, lastPosition)).blockNumber();
        last = document_->findBlock(std::clamp(to_, 0, lastPosition)).blockNumber();
    }
    bool startsInComment = false;
    if (first > 0) {
        const int before = document_->findBlockByNumber(first - 1).userState();
        if (before == kUnknown) {
            first = 0;
        } else {
            startsInComment = (before & kEndsInComment) != 0;
        }
    }
    // The rewriting of tabs lies within the lines being coloured: it changes nothing to note.
    const QScopedValueRollback coloring(coloring_, true);
    Pass pass{engine, caret, startsInComment};
    bool colored = colorChunk(pass, first, last, false);
    // Colours made with another keyword list are out of date on every line.
    if (colored && keywords.Generation() != keywordsGeneration_) {
        keywordsGeneration_ = keywords.Generation();
        if (first > 0 || last < lastLine) {
            pass.startsInComment = false;
            first = 0;
            last = lastLine;
            colored = colorChunk(pass, first, last, false);
        }
    }
    int chunk = kFirstChunk;
    for (int line = last + 1; colored && !pass.stopped && line <= lastLine;) {
        line = colorCommentLines(pass, line, lastLine);
        if (pass.stopped || line > lastLine) {
            break;
        }
        const int end = std::min(lastLine, line + chunk - 1);
        colored = colorChunk(pass, line, end, true);
        line = end + 1;
        chunk *= 2;
    }
    any_ = false;
    all_ = !colored;
    if (!colored) {
        return std::nullopt;
    }
    return pass.caret;
}

// Colours the lines first to last. Lines that no edit touched (their state is known) are coloured
// only while they start in another state than before: from the first that starts as before, they
// and the lines after them keep their colours.
bool LineColoring::colorChunk(Pass &pass, int first, int last, bool untouched) {
    QTextBlock block = document_->findBlockByNumber(first);
    if (untouched && block.userState() != kUnknown &&
        ((block.userState() & kStartsInComment) != 0) == pass.startsInComment) {
        pass.stopped = true;
        return true;
    }
    const int count = last - first + 1;
    const QString before = LinesText(block, count, QLatin1StringView("\r\n"));
    const std::optional<ColoredLines> colored =
        pass.engine.CColorLines(before, pass.startsInComment);
    if (!colored) {
        return false;
    }
    const QString &after = colored->document.text;
    if (after != before) {
        const int offset = block.position() + first;  // the first line's offset in the CR LF text
        pass.caret =
            offset + TabExpandedOffset(before, pass.caret - offset, pass.engine.TabSpaceNum());
        replaceText(block, before, after);
        // The replacement may have made the lines' blocks anew.
        block = document_->findBlockByNumber(first);
    }
    const std::vector<bool> &ends = colored->endsInComment;
    int colorLines = count;
    bool starts = pass.startsInComment;
    QTextBlock line = block;
    for (int n = 0; n < count && line.isValid(); ++n, line = line.next()) {
        if (n > 0 && untouched && line.userState() != kUnknown &&
            ((line.userState() & kStartsInComment) != 0) == starts) {
            colorLines = n;
            pass.stopped = true;
            break;
        }
        const bool lineEnds = n < int(ends.size()) ? bool(ends[size_t(n)]) : starts;
        line.setUserState(LineState(starts, lineEnds));
        starts = lineEnds;
    }
    layer_->setRuns(block, colorLines, colored->document.runs);
    pass.startsInComment = starts;
    return true;
}

// Lines that no edit touched, from first on, as long as they lie wholly inside a block comment:
// started in one, with no */ (and no tab to rewrite), each is green from end to end, as the
// engine would make it. Stops as colorChunk does at a line that starts as before. Returns the
// first line not coloured.
int LineColoring::colorCommentLines(Pass &pass, int first, int last) {
    static const RtfColor commentColor =
        ParseRtf(QLatin1Char('{') + clsEditColor::ColorTable() + QLatin1Char('}')).colors.at(4);
    const QTextBlock firstBlock = document_->findBlockByNumber(first);
    QList<ColorRun> runs;  // offsets from the start of the first line, CR LF between lines
    qsizetype lineStart = 0;
    int line = first;
    for (QTextBlock block = firstBlock; pass.startsInComment && line <= last && block.isValid();
         block = block.next(), ++line) {
        if (block.userState() != kUnknown && (block.userState() & kStartsInComment) != 0) {
            pass.stopped = true;
            break;
        }
        const QString text = block.text();
        if (text.contains(QLatin1StringView("*/")) || text.contains(QLatin1Char('\t'))) {
            break;
        }
        if (!text.isEmpty()) {
            runs.append({lineStart, text.size(), commentColor});
        }
        lineStart += text.size() + 2;
        block.setUserState(LineState(true, true));
    }
    if (line > first) {
        layer_->setRuns(firstBlock, line - first, runs);
    }
    return line;
}

// Replaces only the characters between the common beginning and the common end of the old and
// the new lines, as part of the previous edit, so that one undo takes both back.
void LineColoring::replaceText(const QTextBlock &first, const QString &before,
                               const QString &after) {
    QString oldText = before;
    oldText.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    QString newText = after;
    newText.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    const qsizetype shorter = std::min(oldText.size(), newText.size());
    qsizetype head = 0;
    while (head < shorter && oldText[head] == newText[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < shorter - head &&
           oldText[oldText.size() - 1 - tail] == newText[newText.size() - 1 - tail]) {
        ++tail;
    }
    const int start = first.position();
    QTextCursor cursor(document_);
    cursor.joinPreviousEditBlock();
    cursor.setPosition(start + int(head));
    cursor.setPosition(start + int(oldText.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(newText.mid(head, newText.size() - tail - head));
    cursor.endEditBlock();
}
