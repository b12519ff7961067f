#include "engines/basCsv.h"

#include "core/failure.h"

namespace {
constexpr qsizetype kMaxFields = 32767;
constexpr QChar kQuote = QLatin1Char('"');
constexpr QChar kComma = QLatin1Char(',');
}  // namespace

QStringList SplitCsvLine(const QString &line) {
    QStringList fields;
    const qsizetype length = line.size();
    qsizetype pos = 0;  // 0-based position of the field's first character
    do {
        qsizetype comma = line.indexOf(kComma, pos);
        if (comma < 0) {
            comma = length;
        }
        QString field;
        qsizetype close = -1;
        if (pos < length && line.at(pos) == kQuote) {
            close = line.indexOf(kQuote, pos + 2);
        }
        if (close >= 0) {
            field = line.mid(pos + 1, close - pos - 1);
            pos = close + 2;
        } else {
            field = line.mid(pos, comma - pos);
            pos = comma + 1;
        }
        if (fields.size() == kMaxFields) {
            throw MakeFailure(FailureNumber::Overflow);
        }
        fields.append(field);
    } while (pos < length);
    return fields;
}
