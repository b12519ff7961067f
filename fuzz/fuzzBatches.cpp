// The batch splitter on any text. Counted independently of the splitter: one batch more than
// there are separator lines, and the batches hold exactly the other lines, in order, each
// ended by one CR.
#include <QString>
#include <QStringList>

#include "engines/basBatch.h"
#include "fuzz/fuzzSupport.h"

namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

// A separator line reads GO in either letter case with nothing but blanks around it.
bool IsSeparator(const QString &line) {
    qsizetype first = 0;
    qsizetype last = line.size();
    while (first < last && IsBlank(line.at(first))) {
        ++first;
    }
    while (last > first && IsBlank(line.at(last - 1))) {
        --last;
    }
    const QString word = line.mid(first, last - first);
    return word == QLatin1String("GO") || word == QLatin1String("Go") ||
           word == QLatin1String("gO") || word == QLatin1String("go");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = FuzzText(data, size);
    const QStringList batches = SplitBatches(text);

    // Every CR and every LF ends a line of its own (so CR LF leaves an empty line between).
    QStringList lines;
    QString line;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.append(line);

    qsizetype separators = 0;
    QString kept;
    if (!text.isEmpty()) {
        for (const QString &each : lines) {
            if (IsSeparator(each)) {
                ++separators;
            } else {
                kept += each + QLatin1Char('\r');
            }
        }
    }
    FUZZ_CHECK(batches.size() == separators + 1,
               QStringLiteral("%1 batches, %2 separators").arg(batches.size()).arg(separators));
    FUZZ_CHECK(batches.join(QString()) == kept, Escaped(batches.join(QLatin1String("|"))));
    for (const QString &batch : batches) {
        FUZZ_CHECK(batch.isEmpty() || batch.endsWith(QLatin1Char('\r')), Escaped(batch));
        FUZZ_CHECK(!batch.contains(QLatin1Char('\n')), Escaped(batch));
    }
    return 0;
}
