#include "engines/keywordPainter.h"

#include <QHash>
#include <QStringMatcher>

#include <algorithm>

#include "engines/caseFold.h"
#include "engines/rtfScanner.h"

namespace {

char16_t OpeningDigit(short colorIndex) {
    return colorIndex >= 1 && colorIndex <= 3 ? char16_t(u'0' + colorIndex) : u'0';
}

constexpr char16_t kCommentDigit = u'4';

}  // namespace

KeywordPainter::KeywordPainter(QString rtf)
    : r_(std::move(rtf)),
      lower_(LowerEachChar(r_)),
      user_(UserTextMask(r_)),
      slot_(static_cast<size_t>(r_.size()) + 1, -1) {
    RtfScanner scanner(r_);
    RtfToken token;
    while (scanner.next(token)) {
        if (token.kind == RtfToken::Kind::ControlWord && token.length == 5 &&
            QStringView(r_).sliced(token.start, 5) == QLatin1String("\\par ")) {
            paragraphEnds_.push_back(token.start);
        }
    }
}

KeywordPainter::Gap &KeywordPainter::gapAt(qsizetype i) {
    int &slot = slot_[static_cast<size_t>(i)];
    if (slot < 0) {
        slot = static_cast<int>(gaps_.size());
        gaps_.emplace_back();
    }
    return gaps_[static_cast<size_t>(slot)];
}

bool KeywordPainter::gapEmpty(qsizetype i) const {
    const int slot = slot_[static_cast<size_t>(i)];
    if (slot < 0) {
        return true;
    }
    const Gap &gap = gaps_[static_cast<size_t>(slot)];
    return gap.closes == 0 && gap.opens.isEmpty();
}

void KeywordPainter::clearGaps(qsizetype first, qsizetype last) {
    for (qsizetype i = first; i <= last; ++i) {
        const int slot = slot_[static_cast<size_t>(i)];
        if (slot >= 0) {
            gaps_[static_cast<size_t>(slot)] = Gap();
        }
    }
}

bool KeywordPainter::IsDelimiter(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000) || c == QLatin1Char('\\');
}

// The character before a match is the space of a code inserted there, if any.
bool KeywordPainter::delimiterBefore(qsizetype p) const {
    return p == 0 || !gapEmpty(p) || IsDelimiter(r_.at(p - 1));
}

// The character after a match is the backslash of a code inserted there, if any.
bool KeywordPainter::delimiterAfter(qsizetype e) const {
    return e >= r_.size() || !gapEmpty(e) || IsDelimiter(r_.at(e));
}

// A match must lie wholly in the user's text, with no code inside it.
bool KeywordPainter::isUserText(qsizetype p, qsizetype e) const {
    for (qsizetype i = p; i < e; ++i) {
        if (!user_[static_cast<size_t>(i)] || (i > p && !gapEmpty(i))) {
            return false;
        }
    }
    return true;
}

// The opening code goes right before the word, after the codes already there; the closing code
// right after it, before the codes already there. All closing codes are alike, so a count is
// enough for them.
void KeywordPainter::WrapKeyword(qsizetype p, qsizetype e, short colorIndex) {
    gapAt(p).opens.append(OpeningDigit(colorIndex));
    gapAt(e).closes += 1;
}

void KeywordPainter::ColorKeywords(const QList<ColorKeyword> &list) {
    // Keywords without a delimiter inside can only match a whole word, a run of characters
    // between delimiters, and the codes never split such a run. Their matches are therefore
    // found once, by looking each word of the text up, whatever the entries before have done.
    std::vector<QString> lowered;
    lowered.reserve(static_cast<size_t>(list.size()));
    QHash<QStringView, int> wordKeywords;
    for (const ColorKeyword &entry : list) {
        lowered.push_back(LowerEachChar(entry.Keyword));
        const QString &keyword = lowered.back();
        if (!keyword.isEmpty() && std::none_of(keyword.begin(), keyword.end(), IsDelimiter) &&
            !wordKeywords.contains(QStringView(keyword))) {
            wordKeywords.insert(QStringView(keyword), static_cast<int>(wordKeywords.size()));
        }
    }
    std::vector<std::vector<qsizetype>> wordStarts(static_cast<size_t>(wordKeywords.size()));
    const qsizetype size = r_.size();
    for (qsizetype i = 0; i < size;) {
        if (IsDelimiter(r_.at(i))) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool user = true;
        while (end < size && !IsDelimiter(r_.at(end))) {
            user = user && user_[static_cast<size_t>(end)];
            ++end;
        }
        if (user) {
            const auto found = wordKeywords.constFind(QStringView(lower_).sliced(i, end - i));
            if (found != wordKeywords.cend()) {
                wordStarts[static_cast<size_t>(found.value())].push_back(i);
            }
        }
        i = end;
    }

    for (qsizetype n = 0; n < list.size(); ++n) {
        const QString &keyword = lowered[static_cast<size_t>(n)];
        if (keyword.isEmpty()) {
            continue;
        }
        const short colorIndex = list.at(n).ColorIndex;
        const auto word = wordKeywords.constFind(QStringView(keyword));
        if (word != wordKeywords.cend()) {
            for (const qsizetype start : wordStarts[static_cast<size_t>(word.value())]) {
                WrapKeyword(start, start + keyword.size(), colorIndex);
            }
        } else {
            colorPhrase(keyword, colorIndex);
        }
    }
}

// A keyword with a space (or another delimiter) inside: searched through the text from left to
// right. After a coloured match the search goes on at the character that followed it; after a
// match that is not coloured, one character later.
void KeywordPainter::colorPhrase(QStringView lowered, short colorIndex) {
    const QStringMatcher matcher(lowered);
    const qsizetype length = lowered.size();
    qsizetype from = 0;
    while (from < r_.size()) {
        const qsizetype p = matcher.indexIn(lower_, from);
        if (p < 0) {
            return;
        }
        const qsizetype e = p + length;
        if (!isUserText(p, e)) {
            from = p + 1;
            continue;
        }
        if (delimiterBefore(p) && delimiterAfter(e)) {
            WrapKeyword(p, e, colorIndex);
            from = e;
        } else {
            from = gapEmpty(e) ? e + 1 : e;
        }
    }
}

qsizetype KeywordPainter::findUserMarker(QStringView marker, qsizetype from) const {
    for (;;) {
        const qsizetype p = QStringView(r_).indexOf(marker, from);
        if (p < 0 || isUserText(p, p + marker.size())) {
            return p;
        }
        from = p + 1;
    }
}

qsizetype KeywordPainter::findParagraphEnd(qsizetype from) {
    while (nextParagraphEnd_ < paragraphEnds_.size() && paragraphEnds_[nextParagraphEnd_] < from) {
        ++nextParagraphEnd_;
    }
    return nextParagraphEnd_ < paragraphEnds_.size() ? paragraphEnds_[nextParagraphEnd_] : -1;
}

// Where the document's own text begins: its first piece of literal text, escape or paragraph
// mark, right after the header's control words.
qsizetype KeywordPainter::firstLineStart() const {
    RtfScanner scanner(r_);
    RtfToken token;
    while (scanner.next(token)) {
        if (token.depth == 1 &&
            (token.kind == RtfToken::Kind::Text || token.kind == RtfToken::Kind::ControlSymbol ||
             (!paragraphEnds_.empty() && token.start == paragraphEnds_.front()))) {
            return token.start;
        }
    }
    return DocumentEnd(r_);
}

void KeywordPainter::ColorComments(bool startsInComment) {
    const QStringView lineMarker(u"--");
    const QStringView blockMarker(u"/*");
    const QStringView blockEndMarker(u"*/");
    const qsizetype last = DocumentEnd(r_);  // the document's closing brace
    qsizetype from = 0;
    qsizetype nextLine = -2;  // cached search results, valid while not before `from`
    qsizetype nextBlock = -2;
    if (startsInComment) {
        // The comment opened before the text is taken as opened where the text begins.
        from = firstLineStart();
        nextBlock = from;
    }
    while (from < r_.size()) {
        if (nextLine != -1 && nextLine < from) {
            nextLine = findUserMarker(lineMarker, from);
        }
        if (nextBlock != -1 && nextBlock < from) {
            nextBlock = findUserMarker(blockMarker, from);
        }
        if (nextLine < 0 && nextBlock < 0) {
            return;
        }
        const bool line = nextBlock < 0 || (nextLine >= 0 && nextLine < nextBlock);
        const qsizetype start = line ? nextLine : nextBlock;
        // The comment's own content loses its keyword codes; the codes before it stay.
        const qsizetype end =
            line ? findParagraphEnd(start) : findUserMarker(blockEndMarker, start);
        if (end < 0) {
            clearGaps(start + 1, last);
            gapAt(start).opens.append(kCommentDigit);
            gapAt(last).closes = 1;
            if (!line) {
                blockComments_.push_back({start, r_.size()});
            }
            return;
        }
        if (line) {
            clearGaps(start + 1, end);
            gapAt(end).closes = 1;
            from = end;
        } else {
            clearGaps(start + 1, end + 1);
            gapAt(end + 2).closes += 1;
            from = end + 2;
            blockComments_.push_back({start, from});
        }
        gapAt(start).opens.append(kCommentDigit);
    }
}

std::vector<bool> KeywordPainter::ParagraphEndsInComment() const {
    std::vector<bool> inside;
    inside.reserve(paragraphEnds_.size());
    size_t span = 0;
    for (const qsizetype end : paragraphEnds_) {
        while (span < blockComments_.size() && blockComments_[span].end <= end) {
            ++span;
        }
        // A comment carried into an empty first line is taken as opened at its paragraph mark.
        inside.push_back(span < blockComments_.size() && blockComments_[span].start <= end);
    }
    return inside;
}

QString KeywordPainter::Result() const {
    static const QLatin1String closing("\\cf0 ");
    qsizetype extra = 1;
    for (const Gap &gap : gaps_) {
        extra += 5 * (gap.closes + gap.opens.size());
    }
    QString result;
    result.reserve(r_.size() + extra);
    const auto writeGap = [&](qsizetype i) {
        const int slot = slot_[static_cast<size_t>(i)];
        if (slot < 0) {
            return;
        }
        const Gap &gap = gaps_[static_cast<size_t>(slot)];
        for (int n = 0; n < gap.closes; ++n) {
            result.append(closing);
        }
        for (const char16_t digit : gap.opens) {
            result.append(QLatin1String("\\cf"));
            result.append(QChar(digit));
            result.append(QLatin1Char(' '));
        }
    };
    const qsizetype size = r_.size();
    for (qsizetype i = 0; i < size; ++i) {
        writeGap(i);
        result.append(r_.at(i));
    }
    writeGap(size);
    result.append(QLatin1Char(' '));
    return result;
}
