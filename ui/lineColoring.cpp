#include "ui/lineColoring.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

#include "engines/clsEditColor.h"
#include "engines/colorKeywordCache.h"
#include "engines/commentState.h"
#include "engines/rtfScanner.h"
#include "ui/colorLayer.h"

namespace {

// A line's state, kept as its block's user state: whether it starts and whether it ends inside
// a block comment, and whether its colours are out of date for them. A line never taken in has
// the state -1.
constexpr int kUnknown = -1;
constexpr int kStartsInComment = 1;
constexpr int kEndsInComment = 2;
constexpr int kStale = 4;

// Lines whose text takeInLines reads in one copy.
constexpr int kChunkLines = 4096;

int LineState(bool startsInComment, bool endsInComment) {
    return (startsInComment ? kStartsInComment : 0) | (endsInComment ? kEndsInComment : 0);
}

bool IsStale(int state) {
    return state == kUnknown || (state & kStale) != 0;
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
                                         int caret, LineRange shown) {
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
    // The rewriting of tabs lies within the lines being taken in: it changes nothing to note.
    const QScopedValueRollback coloring(coloring_, true);
    Pass pass{engine, caret, startsInComment};
    const bool colored = colorLines(pass, first, first);
    if (colored) {
        takeInLines(pass, first + 1, last);
        followStates(last + 1, pass.startsInComment);
    }
    any_ = false;
    all_ = !colored || !colorShownAfterKeywords(pass, keywords, shown);
    if (all_) {
        return std::nullopt;
    }
    return pass.caret;
}

bool LineColoring::ColorShown(clsEditColor &engine, const ColorKeywordCache &keywords,
                              LineRange shown) {
    // Pending changes are taken in by the next Recolor, which colours what is shown then.
    if (all_ || any_ || coloring_) {
        return true;
    }
    const QScopedValueRollback coloring(coloring_, true);
    Pass pass{engine, 0, false};
    return colorShownAfterKeywords(pass, keywords, shown);
}

// Colours made with another keyword list are out of date on every line: the shown ones are coloured
// again at once, the others as they come into view.
bool LineColoring::colorShownAfterKeywords(Pass &pass, const ColorKeywordCache &keywords,
                                           LineRange shown) {
    if (!colorStaleLines(pass, shown)) {
        return false;
    }
    if (keywords.Generation() == keywordsGeneration_) {
        return true;
    }
    keywordsGeneration_ = keywords.Generation();
    markAllStale();
    return colorStaleLines(pass, shown);
}

// Colours the lines first to last, which start in the pass's state, with the engine; its text
// replaces theirs where it differs (tabs made spaces).
bool LineColoring::colorLines(Pass &pass, int first, int last) {
    QTextBlock block = document_->findBlockByNumber(first);
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
    bool starts = pass.startsInComment;
    QTextBlock line = block;
    for (int n = 0; n < count && line.isValid(); ++n, line = line.next()) {
        const bool lineEnds = n < int(ends.size()) ? bool(ends[size_t(n)]) : starts;
        line.setUserState(LineState(starts, lineEnds));
        starts = lineEnds;
    }
    layer_->setRuns(block, count, colored->document.runs);
    pass.startsInComment = starts;
    return true;
}

// Colours the lines of `shown` that are out of date, a stretch of consecutive ones at a time.
bool LineColoring::colorStaleLines(Pass &pass, LineRange shown) {
    const int last = std::min(shown.last, document_->blockCount() - 1);
    int line = std::max(shown.first, 0);
    QTextBlock block = document_->findBlockByNumber(line);
    while (line <= last && block.isValid()) {
        if (!IsStale(block.userState())) {
            block = block.next();
            ++line;
            continue;
        }
        const int first = line;
        for (; line <= last && block.isValid() && IsStale(block.userState());
             block = block.next(), ++line) {
        }
        if (first > 0) {
            const int before = document_->findBlockByNumber(first - 1).userState();
            if (before == kUnknown) {
                continue;  // only lines that follow a known state can be coloured
            }
            pass.startsInComment = (before & kEndsInComment) != 0;
        } else {
            pass.startsInComment = false;
        }
        if (!colorLines(pass, first, line - 1)) {
            return false;
        }
        followStates(line, pass.startsInComment);
        // Colouring may have made blocks anew.
        block = document_->findBlockByNumber(line);
    }
    return true;
}

// The changed lines first to last, which follow the pass's state: their tabs become spaces, in one
// edit, and each takes its state; their colours are out of date.
void LineColoring::takeInLines(Pass &pass, int first, int last) {
    if (first > last) {
        return;
    }
    const short tabSpaces = pass.engine.TabSpaceNum();
    std::vector<quint8> states;
    states.reserve(size_t(last - first + 1));
    int firstTab = -1;
    int lastTab = -1;
    bool starts = pass.startsInComment;
    QTextBlock block = document_->findBlockByNumber(first);
    // The lines are read a few thousand at a time, in one copy of their text (blocks separated
    // by U+2029), rather than in a string of their own each.
    QString chunk;
    qsizetype at = 0;
    for (int line = first; line <= last && block.isValid(); ++line, block = block.next()) {
        if ((line - first) % kChunkLines == 0) {
            const QTextBlock end =
                document_->findBlockByNumber(std::min(line + kChunkLines - 1, last));
            QTextCursor range(document_);
            range.setPosition(block.position());
            range.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
            chunk = range.selectedText();
            at = 0;
        }
        const QStringView text = QStringView(chunk).sliced(at, block.length() - 1);
        at += block.length();
        if (text.contains(QLatin1Char('\t'))) {
            firstTab = firstTab < 0 ? line : firstTab;
            lastTab = line;
        }
        const bool ends = LineEndsInComment(text, starts);
        states.push_back(quint8(LineState(starts, ends) | kStale));
        starts = ends;
    }
    if (firstTab >= 0) {
        const QTextBlock tabBlock = document_->findBlockByNumber(firstTab);
        QString before;
        QString after;
        QTextBlock line = tabBlock;
        for (int n = firstTab; n <= lastTab; ++n, line = line.next()) {
            if (n > firstTab) {
                before.append(QLatin1StringView("\r\n"));
                after.append(QLatin1StringView("\r\n"));
            }
            const QString text = line.text();
            before.append(text);
            after.append(ExpandLineTabs(text, tabSpaces));
        }
        const int offset = tabBlock.position() + firstTab;
        pass.caret = offset + TabExpandedOffset(before, pass.caret - offset, tabSpaces);
        replaceText(tabBlock, before, after);
    }
    block = document_->findBlockByNumber(first);
    for (size_t n = 0; n < states.size() && block.isValid(); ++n, block = block.next()) {
        block.setUserState(states[n]);
    }
    pass.startsInComment = starts;
}

// From line `first` on, the lines take the states that follow from the one before, until a line
// that was taken in before starts as it did; their colours are out of date.
void LineColoring::followStates(int first, bool startsInComment) {
    bool starts = startsInComment;
    for (QTextBlock block = document_->findBlockByNumber(first); block.isValid();
         block = block.next()) {
        const int state = block.userState();
        if (state != kUnknown && ((state & kStartsInComment) != 0) == starts) {
            return;
        }
        const bool ends = LineEndsInComment(block.text(), starts);
        block.setUserState(LineState(starts, ends) | kStale);
        starts = ends;
    }
}

void LineColoring::markAllStale() {
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        if (block.userState() != kUnknown) {
            block.setUserState(block.userState() | kStale);
        }
    }
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
