#include "fuzz/fuzzSupport.h"

#include <cstdio>
#include <cstdlib>

QString FuzzText(const uint8_t *data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

QString FuzzUtf16(const uint8_t *data, size_t size) {
    QString text;
    text.reserve(static_cast<qsizetype>(size / 2));
    for (size_t i = 0; i + 1 < size; i += 2) {
        text.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    }
    return text;
}

QString DefaultKeywordFile(const char *fileName) {
    return QStringLiteral(TESSORY_FUZZ_KEYWORD_DIR "/") + QString::fromLatin1(fileName);
}

QString WithCrLfBreaks(const QString &text) {
    QString result;
    result.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            result.append(QLatin1String("\r\n"));
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
        } else {
            result.append(c);
        }
    }
    return result;
}

QString Escaped(const QString &text) {
    QString shown;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r')) {
            shown += QLatin1String("\\r");
        } else if (c == QLatin1Char('\n')) {
            shown += QLatin1String("\\n");
        } else if (c == QLatin1Char('\t')) {
            shown += QLatin1String("\\t");
        } else if (c.unicode() < 0x20 || c.isSurrogate()) {
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

void FuzzFailed(const char *condition, const char *file, int line, const QString &detail) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n%s\n", file, line, condition,
                 detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

BoxRecorder::BoxRecorder() : previous_(clsMsg::setPresenter(this)) {}

BoxRecorder::~BoxRecorder() {
    clsMsg::setPresenter(previous_);
}

int BoxRecorder::show(const QString &text, const QString & /*title*/, int /*style*/) {
    texts_.append(text);
    return MessageResult::Ok;
}
