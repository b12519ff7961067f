#include "files/lineEnds.h"

#include <array>

namespace {
constexpr QLatin1StringView kCrLf("\r\n");
}

LineEnd DetectLineEnd(QStringView fileText, LineEnd whenNone) {
    std::array<qsizetype, 3> counts{};  // indexed by LineEnd
    const qsizetype length = fileText.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = fileText.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < length && fileText.at(i + 1) == QLatin1Char('\n')) {
                ++counts[size_t(LineEnd::CrLf)];
                ++i;
            } else {
                ++counts[size_t(LineEnd::Cr)];
            }
        } else if (c == QLatin1Char('\n')) {
            ++counts[size_t(LineEnd::Lf)];
        }
    }
    LineEnd style = whenNone;
    qsizetype most = 0;
    for (const LineEnd candidate : {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr}) {
        if (counts[size_t(candidate)] > most) {
            style = candidate;
            most = counts[size_t(candidate)];
        }
    }
    return style;
}

// A text whose line breaks are all CR LF already is handed back as it is, without a copy.
QString ToCrLf(const QString &text) {
    const qsizetype length = text.size();
    qsizetype i = 0;
    for (; i < length; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < length && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            break;
        }
    }
    if (i == length) {
        return text;
    }
    QString result;
    result.reserve(length + length / 32 + 1);
    result.append(QStringView(text).first(i));
    qsizetype start = i;
    for (; i < length; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            continue;
        }
        result.append(QStringView(text).sliced(start, i - start)).append(kCrLf);
        if (c == QLatin1Char('\r') && i + 1 < length && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
        }
        start = i + 1;
    }
    return result.append(QStringView(text).sliced(start));
}

QString WithLineEnd(QString crLfText, LineEnd style) {
    switch (style) {
        case LineEnd::Lf:
            return crLfText.replace(kCrLf, QLatin1StringView("\n"));
        case LineEnd::Cr:
            return crLfText.replace(kCrLf, QLatin1StringView("\r"));
        case LineEnd::CrLf:
            break;
    }
    return crLfText;
}
