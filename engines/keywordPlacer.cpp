#include "engines/keywordPlacer.h"

#include <QStringMatcher>

#include <algorithm>

#include "core/failure.h"
#include "engines/caseFold.h"

namespace {

constexpr QChar kSpace = QLatin1Char(' ');
constexpr QChar kCr = QLatin1Char('\r');

bool IsSeparator(QChar c) {
    return c == kSpace || c == QLatin1Char('\t') || c == kCr;
}

// Spaces for an indentation level; the count is a 16-bit product, as in the keyword file.
QString Indentation(int level) {
    const int count = level * 4;
    if (level < -32768 || level > 32767 || count < -32768 || count > 32767) {
        throw MakeFailure(FailureNumber::Overflow);
    }
    return count > 0 ? QString(count, kSpace) : QString();
}

QStringView TrimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == kSpace) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == kSpace) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// One pass of one entry. The current text is seen as three parts: `done_`, the rewritten text
// before the last placed keyword; `front_`, the placed keyword and whatever short piece follows
// it; and the untouched rest of the source. A search never starts inside `done_`, because the
// next search after a match starts behind the match.
class PlacementPass {
public:
    PlacementPass(const CasedText &source, const ArrangeKeyword &entry)
        : source_(source),
          end_(source.text.size()),
          entry_(entry),
          keyword_(LowerEachChar(entry.Keyword)),
          matcher_(keyword_) {}

    CasedText run() {
        const qsizetype length = keyword_.size();
        qsizetype from = 0;  // 0-based search start; the search never starts at the last character
        while (from + 1 < size()) {
            const qsizetype p = find(from);
            if (p < 0) {
                break;
            }
            const qsizetype e = p + length;
            const bool separated =
                (p == 0 || IsSeparator(at(p - 1))) && (e >= size() || IsSeparator(at(e)));
            if (entry_.WordFlag != 1 || separated) {
                place(p, e);
            }
            from = e + 1;
        }
        CasedText result = std::move(done_);
        result.text.append(front_.text).append(restOf(source_.text));
        result.lower.append(front_.lower).append(restOf(source_.lower));
        return result;
    }

private:
    qsizetype size() const { return done_.text.size() + front_.text.size() + (end_ - next_); }

    QStringView restOf(const QString &text) const {
        return QStringView(text).sliced(next_, end_ - next_);
    }

    QChar at(qsizetype v) const { return charAt(v, done_.text, front_.text, source_.text); }
    QChar lowerAt(qsizetype v) const { return charAt(v, done_.lower, front_.lower, source_.lower); }
    QChar charAt(qsizetype v, const QString &done, const QString &front,
                 const QString &source) const {
        if (v < done.size()) {
            return done.at(v);
        }
        v -= done.size();
        if (v < front.size()) {
            return front.at(v);
        }
        return source.at(next_ + v - front.size());
    }

    // The first match at or after `from` (which lies behind `done_`).
    qsizetype find(qsizetype from) const {
        const qsizetype length = keyword_.size();
        const qsizetype sourceStart = done_.text.size() + front_.text.size();
        for (qsizetype p = from; p < sourceStart && p + length <= size(); ++p) {
            qsizetype n = 0;
            while (n < length && lowerAt(p + n) == keyword_.at(n)) {
                ++n;
            }
            if (n == length) {
                return p;
            }
        }
        const qsizetype q =
            matcher_.indexIn(source_.lower, next_ + std::max<qsizetype>(0, from - sourceStart));
        if (q < 0 || q + length > end_) {
            return -1;
        }
        return sourceStart + q - next_;
    }

    // Moves `count` characters from the front of the rest (front_, then the source) to `target`.
    void take(qsizetype count, CasedText *target) {
        const qsizetype fromFront = std::min(count, front_.text.size());
        if (target) {
            target->text.append(QStringView(front_.text).first(fromFront));
            target->lower.append(QStringView(front_.lower).first(fromFront));
        }
        front_.text.remove(0, fromFront);
        front_.lower.remove(0, fromFront);
        const qsizetype fromSource = count - fromFront;
        if (target && fromSource > 0) {
            target->text.append(QStringView(source_.text).sliced(next_, fromSource));
            target->lower.append(QStringView(source_.lower).sliced(next_, fromSource));
        }
        next_ += fromSource;
    }

    QChar restFirst() const {
        return front_.text.isEmpty() ? source_.text.at(next_) : front_.text.front();
    }
    QChar restLast() const { return end_ > next_ ? source_.text.at(end_ - 1) : front_.text.back(); }
    bool restEmpty() const { return front_.text.isEmpty() && end_ == next_; }
    void dropRestLast() {
        if (end_ > next_) {
            --end_;
        } else {
            front_.text.chop(1);
            front_.lower.chop(1);
        }
    }
    void dropRestWhile(QChar c) {
        while (!restEmpty() && restFirst() == c) {
            take(1, nullptr);
        }
    }

    // Rewrites the match [p, e): the text before it trimmed of spaces (with a line break before
    // a word keyword), the keyword trimmed and indented on a line of its own, and the text after
    // it without its leading spaces and line breaks, indented by the keyword's level.
    void place(qsizetype p, qsizetype e) {
        take(p - done_.text.size(), &done_);
        CasedText match;
        take(e - p, &match);
        const bool textAfter = !restEmpty();

        trimDone();
        if (!done_.text.isEmpty() && entry_.WordFlag == 1 && done_.text.back() != kCr) {
            appendToDone(QString(kCr));
        }
        CasedText front;
        const QString keywordIndent = Indentation(entry_.Level - 1);
        front.text = keywordIndent;
        front.text.append(TrimSpaces(match.text)).append(kCr);
        front.lower = keywordIndent;
        front.lower.append(TrimSpaces(match.lower)).append(kCr);
        if (textAfter) {
            dropRestWhile(kSpace);
            dropRestWhile(kCr);
            dropRestWhile(kSpace);
            while (!restEmpty() && restLast() == kSpace) {
                dropRestLast();
            }
            const QString afterIndent = Indentation(entry_.Level);
            front.text += afterIndent + front_.text;
            front.lower += afterIndent + front_.lower;
        }
        front_ = std::move(front);
    }

    void trimDone() {
        qsizetype end = done_.text.size();
        while (end > 0 && done_.text.at(end - 1) == kSpace) {
            --end;
        }
        done_.text.truncate(end);
        done_.lower.truncate(end);
        qsizetype begin = 0;
        while (begin < end && done_.text.at(begin) == kSpace) {
            ++begin;
        }
        if (begin > 0) {
            done_.text.remove(0, begin);
            done_.lower.remove(0, begin);
        }
    }

    void appendToDone(const QString &text) {
        done_.text.append(text);
        done_.lower.append(LowerEachChar(text));
    }

    const CasedText &source_;
    qsizetype next_ = 0;  // the rest of the source is [next_, end_)
    qsizetype end_;
    const ArrangeKeyword &entry_;
    const QString keyword_;
    const QStringMatcher matcher_;
    CasedText done_;
    CasedText front_;
};

}  // namespace

CasedText MakeCasedText(QString text) {
    CasedText cased;
    cased.lower = LowerEachChar(text);
    cased.text = std::move(text);
    return cased;
}

bool IsLayoutOnly(QStringView keyword) {
    return std::all_of(keyword.begin(), keyword.end(),
                       [](QChar c) { return c == kSpace || c == kCr; });
}

CasedText PlaceKeywords(const CasedText &source, const ArrangeKeyword &entry) {
    if (IsLayoutOnly(entry.Keyword)) {
        return source;
    }
    const QString keyword = LowerEachChar(entry.Keyword);
    if (source.text.size() < 2 || !source.lower.contains(keyword)) {
        return source;
    }
    return PlacementPass(source, entry).run();
}
