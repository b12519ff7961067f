#include "tests/engines/referenceEngines.h"

#include <vector>

#include "core/failure.h"
#include "engines/clsEditColor.h"
#include "engines/keywordPlacer.h"
#include "engines/rtfScanner.h"

namespace {

QString Lower(const QString &text) {
    QString lowered = text;
    for (QChar &c : lowered) {
        c = c.toLower();
    }
    return lowered;
}

bool IsDelimiter(const QString &c) {
    return c.isEmpty() || c == QLatin1String(" ") || c == QString(QChar(0x3000)) ||
           c == QLatin1String("\\");
}

// 0-based position of the first occurrence at or after `from` that lies wholly in user text.
qsizetype FindInUserText(const QString &r, const QString &needle, qsizetype from) {
    const std::vector<bool> user = UserTextMask(r);
    const QString lowered = Lower(r);
    for (qsizetype p = lowered.indexOf(needle, from); p >= 0; p = lowered.indexOf(needle, p + 1)) {
        bool inside = true;
        for (qsizetype i = p; i < p + needle.size(); ++i) {
            inside = inside && user[static_cast<size_t>(i)];
        }
        if (inside) {
            return p;
        }
    }
    return -1;
}

QString PaintWord(short colorIndex, const QString &word) {
    const QString digit =
        colorIndex >= 1 && colorIndex <= 3 ? QString::number(colorIndex) : QStringLiteral("0");
    return QStringLiteral("\\cf") + digit + QLatin1Char(' ') + word + QStringLiteral("\\cf0 ");
}

// The text of r[first, last) without the colour codes of the document's text that stand there.
QString WithoutCodes(const QString &r, qsizetype first, qsizetype last) {
    QString kept;
    RtfScanner scanner(r);
    RtfToken token;
    qsizetype copied = first;
    while (scanner.next(token)) {
        if (token.start >= first && token.start < last && token.depth == 1 &&
            IsColorCodeToken(r, token)) {
            kept += r.mid(copied, token.start - copied);
            copied = token.start + token.length;
        }
    }
    return kept + r.mid(copied, last - copied);
}

qsizetype FindParagraphEnd(const QString &r, qsizetype from) {
    RtfScanner scanner(r);
    RtfToken token;
    while (scanner.next(token)) {
        if (token.start >= from && token.kind == RtfToken::Kind::ControlWord &&
            r.mid(token.start, token.length) == QLatin1String("\\par ")) {
            return token.start;
        }
    }
    return -1;
}

QString ColorComments(QString r) {
    qsizetype pos = 1;
    for (;;) {
        const qsizetype dashes = FindInUserText(r, QStringLiteral("--"), pos - 1);
        const qsizetype slash = FindInUserText(r, QStringLiteral("/*"), pos - 1);
        const qsizetype d = dashes < 0 ? r.size() : dashes + 1;
        const qsizetype s = slash < 0 ? r.size() : slash + 1;
        if (d == s) {
            return r;
        }
        const bool line = d < s;
        const qsizetype start = line ? d : s;
        const qsizetype found = line ? FindParagraphEnd(r, start - 1)
                                     : FindInUserText(r, QStringLiteral("*/"), start - 1);
        const QString head = r.left(start - 1);
        QString coloured;
        QString tail;
        if (found < 0) {
            const qsizetype end = DocumentEnd(r);
            coloured = QStringLiteral("\\cf4 ") + WithoutCodes(r, start - 1, end) +
                       QStringLiteral("\\cf0 ") + r.mid(end);
        } else {
            const qsizetype end = found + 1;
            const qsizetype last = line ? end - 1 : end + 1;  // last character of the comment
            coloured = QStringLiteral("\\cf4 ") + WithoutCodes(r, start - 1, last) +
                       QStringLiteral("\\cf0 ");
            tail = r.mid(line ? end - 1 : end + 1);
        }
        r = head + coloured + tail;
        pos = head.size() + coloured.size() + 1;
    }
}

QString TrimSpaces(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString IndentText(int level, const QString &text) {
    const int count = level * 4;
    if (level < -32768 || level > 32767 || count < -32768 || count > 32767) {
        throw MakeFailure(FailureNumber::Overflow);
    }
    return QString(std::max(count, 0), QLatin1Char(' ')) + text;
}

bool IsSeparator(const QString &c) {
    return c.isEmpty() || c == QLatin1String(" ") || c == QLatin1String("\t") ||
           c == QLatin1String("\r");
}

QString PlaceKeyword(const QString &text, const ArrangeKeyword &entry, qsizetype p, qsizetype e) {
    QString before = TrimSpaces(text.left(p - 1));
    if (!before.isEmpty() && entry.WordFlag == 1 && before.back() != QLatin1Char('\r')) {
        before += QLatin1Char('\r');
    }
    const QString word =
        IndentText(entry.Level - 1, TrimSpaces(text.mid(p - 1, entry.Keyword.size()))) +
        QLatin1Char('\r');
    QString after;
    if (text.size() >= e) {
        after = TrimSpaces(text.mid(e - 1));
        while (after.startsWith(QLatin1Char('\r'))) {
            after.remove(0, 1);
        }
        after = IndentText(entry.Level, TrimSpaces(after));
    }
    return before + word + after;
}

}  // namespace

QString ReferenceColorKeywords(const QString &text, const QList<ColorKeyword> &list) {
    QString r = QLatin1Char('{') + clsEditColor::ColorTable() + text.mid(1);
    for (const ColorKeyword &entry : list) {
        if (entry.Keyword.isEmpty()) {
            continue;
        }
        const QString keyword = Lower(entry.Keyword);
        qsizetype pos = 1;
        while (pos < r.size()) {
            const qsizetype found = FindInUserText(r, keyword, pos - 1);
            if (found < 0) {
                break;
            }
            const qsizetype p = found + 1;
            qsizetype e = p + keyword.size();
            const QString before = p == 1 ? QString() : r.mid(p - 2, 1);
            const QString after = e > r.size() ? QString() : r.mid(e - 1, 1);
            if (IsDelimiter(before) && IsDelimiter(after)) {
                const QString head = r.left(p - 1);
                const QString word = PaintWord(entry.ColorIndex, r.mid(p - 1, keyword.size()));
                const QString tail = r.size() < e ? QString() : r.mid(e - 1);
                r = head + word + tail;
                e = head.size() + word.size();
            }
            pos = e + 1;
        }
    }
    return ColorComments(r) + QLatin1Char(' ');
}

QString ReferenceArrangeText(const QString &text, const QList<ArrangeKeyword> &list) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    t.replace(QLatin1Char('\t'), QLatin1String("    "));
    for (const ArrangeKeyword &entry : list) {
        if (IsLayoutOnly(entry.Keyword)) {
            continue;
        }
        const QString keyword = Lower(entry.Keyword);
        qsizetype pos = 1;
        while (pos < t.size()) {
            const qsizetype found = Lower(t).indexOf(keyword, pos - 1);
            if (found < 0) {
                break;
            }
            const qsizetype p = found + 1;
            const qsizetype e = p + keyword.size();
            if (entry.WordFlag == 1) {
                const QString before = p == 1 ? QString() : t.mid(p - 2, 1);
                const QString after = e > t.size() ? QString() : t.mid(e - 1, 1);
                if (!IsSeparator(before) || !IsSeparator(after)) {
                    pos = e + 1;
                    continue;
                }
            }
            t = PlaceKeyword(t, entry, p, e);
            pos = e + 1;
        }
    }
    t.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    return t;
}
