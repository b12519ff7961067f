#include "engines/rtfScanner.h"

#include <algorithm>

namespace {
constexpr qint64 kMaxParameter = 1'000'000'000;

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}
bool IsAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}
}  // namespace

bool RtfScanner::next(RtfToken &token) {
    const qsizetype size = text_.size();
    if (pos_ >= size) {
        return false;
    }
    token.start = pos_;
    const QChar c = text_.at(pos_);
    if (c == QLatin1Char('{')) {
        token.kind = RtfToken::Kind::GroupOpen;
        token.depth = depth_++;
        pos_ += 1;
    } else if (c == QLatin1Char('}')) {
        token.kind = RtfToken::Kind::GroupClose;
        token.depth = --depth_;
        pos_ += 1;
    } else if (c == QLatin1Char('\\')) {
        token.depth = depth_;
        qsizetype p = pos_ + 1;
        if (p < size && IsAsciiLetter(text_.at(p))) {
            token.kind = RtfToken::Kind::ControlWord;
            while (p < size && IsAsciiLetter(text_.at(p))) {
                ++p;
            }
            if (p < size && text_.at(p) == QLatin1Char('-') && p + 1 < size &&
                IsAsciiDigit(text_.at(p + 1))) {
                ++p;
            }
            while (p < size && IsAsciiDigit(text_.at(p))) {
                ++p;
            }
            if (p < size && text_.at(p) == QLatin1Char(' ')) {
                ++p;
            }
        } else {
            token.kind = RtfToken::Kind::ControlSymbol;
            if (p < size && text_.at(p) == QLatin1Char('\'')) {
                p = std::min(size, p + 3);
            } else {
                p = std::min(size, p + 1);
            }
        }
        pos_ = p;
    } else {
        token.kind = RtfToken::Kind::Text;
        token.depth = depth_;
        qsizetype p = pos_ + 1;
        while (p < size) {
            const QChar d = text_.at(p);
            if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}')) {
                break;
            }
            ++p;
        }
        pos_ = p;
    }
    token.length = pos_ - token.start;
    return true;
}

QStringView ControlWordName(QStringView text, const RtfToken &token) {
    qsizetype end = token.start + 1;
    while (end < token.start + token.length && IsAsciiLetter(text.at(end))) {
        ++end;
    }
    return text.sliced(token.start + 1, end - token.start - 1);
}

std::optional<qint64> ControlWordParameter(QStringView text, const RtfToken &token) {
    const qsizetype end = token.start + token.length;
    qsizetype at = token.start + 1 + ControlWordName(text, token).size();
    const bool negative = at < end && text.at(at) == QLatin1Char('-');
    if (negative) {
        ++at;
    }
    if (at >= end || !IsAsciiDigit(text.at(at))) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (; at < end && IsAsciiDigit(text.at(at)); ++at) {
        value = std::min(kMaxParameter, value * 10 + (text.at(at).unicode() - u'0'));
    }
    return negative ? -value : value;
}

bool IsColorCodeToken(QStringView text, const RtfToken &token) {
    if (token.kind != RtfToken::Kind::ControlWord || token.length != 5) {
        return false;
    }
    const QStringView word = text.sliced(token.start, 5);
    return word.startsWith(QLatin1String("\\cf")) && word.at(3).unicode() >= u'0' &&
           word.at(3).unicode() <= u'4' && word.at(4) == QLatin1Char(' ');
}

std::vector<bool> UserTextMask(QStringView rtf) {
    std::vector<bool> mask(static_cast<size_t>(rtf.size()), false);
    RtfScanner scanner(rtf);
    RtfToken token;
    while (scanner.next(token)) {
        if (token.kind == RtfToken::Kind::Text && token.depth == 1) {
            std::fill_n(mask.begin() + token.start, token.length, true);
        }
    }
    std::fill(mask.begin() + DocumentEnd(rtf), mask.end(), false);
    return mask;
}

qsizetype DocumentEnd(QStringView rtf) {
    if (rtf.isEmpty()) {
        return 0;
    }
    RtfScanner scanner(rtf);
    RtfToken token;
    RtfToken last;
    while (scanner.next(token)) {
        last = token;
    }
    const bool control =
        last.kind == RtfToken::Kind::ControlWord || last.kind == RtfToken::Kind::ControlSymbol;
    return control ? last.start : rtf.size() - 1;
}

QString ExpandRtfTabs(QStringView rtf, short tabSpaceNum) {
    QString result;
    result.reserve(rtf.size());
    const qsizetype spaces = tabSpaceNum > 1 ? tabSpaceNum - 1 : 0;
    RtfScanner scanner(rtf);
    RtfToken token;
    while (scanner.next(token)) {
        if (token.kind == RtfToken::Kind::ControlWord && token.depth == 1 &&
            ControlWordName(rtf, token) == QLatin1String("tab")) {
            result.append(QString(spaces, QLatin1Char(' ')));
            result.append(rtf.sliced(token.start + 4, token.length - 4));
        } else {
            result.append(rtf.sliced(token.start, token.length));
        }
    }
    return result;
}

int TabExpandedOffset(QStringView plainText, int offset, short tabSpaceNum) {
    const qsizetype before = std::clamp<qsizetype>(offset, 0, plainText.size());
    const qsizetype tabs = plainText.first(before).count(QLatin1Char('\t'));
    const int added = tabSpaceNum > 1 ? tabSpaceNum - 1 : 0;  // the control word's space stays
    return offset + static_cast<int>(tabs) * added;
}

QString RemoveRtfColorCodes(QStringView rtf) {
    QString result;
    result.reserve(rtf.size());
    RtfScanner scanner(rtf);
    RtfToken token;
    bool afterOpenControlWord = false;  // the last piece kept is a control word without its space
    while (scanner.next(token)) {
        if (token.depth == 1 && IsColorCodeToken(rtf, token)) {
            if (afterOpenControlWord) {
                result.append(QLatin1Char(' '));
                afterOpenControlWord = false;
            }
            continue;
        }
        result.append(rtf.sliced(token.start, token.length));
        afterOpenControlWord = token.kind == RtfToken::Kind::ControlWord &&
                               rtf.at(token.start + token.length - 1) != QLatin1Char(' ');
    }
    return result;
}
