#include "engines/basBatch.h"

namespace {

constexpr QChar kCr = QLatin1Char('\r');

bool IsSeparatorSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

// A separator reads GO in any case, with nothing around it but spaces.
bool IsSeparatorLine(QStringView line) {
    qsizetype first = 0;
    qsizetype last = line.size();
    while (first < last && IsSeparatorSpace(line.at(first))) {
        ++first;
    }
    while (last > first && IsSeparatorSpace(line.at(last - 1))) {
        --last;
    }
    return line.sliced(first, last - first).compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QStringList SplitBatches(QString text) {
    QStringList batches;
    if (text.isEmpty()) {
        batches.append(QString());
        return batches;
    }
    text.replace(QLatin1Char('\n'), kCr);
    QString batch;
    for (const QStringView line : QStringView(text).split(kCr)) {
        if (IsSeparatorLine(line)) {
            batches.append(batch);
            batch.clear();
        } else {
            batch.append(line);
            batch.append(kCr);
        }
    }
    batches.append(batch);
    return batches;
}
