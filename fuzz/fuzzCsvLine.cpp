// The keyword-file line splitter on any line. Its fields stand in the line in order; a line
// without double quotes splits at every comma; and fields written back quoted (commas and all)
// split into the same fields again.
#include <QString>
#include <QStringList>

#include "core/failure.h"
#include "engines/basCsv.h"
#include "fuzz/fuzzSupport.h"

namespace {

QStringList Split(const QString &line) {
    try {
        return SplitCsvLine(line);
    } catch (const Failure &failure) {
        // Only a line of more than 32,767 fields may be refused.
        FUZZ_CHECK(
            failure.number == FailureNumber::Overflow && line.count(QLatin1Char(',')) >= 32767,
            QStringLiteral("failure %1").arg(failure.number));
        return {};
    }
}

// A comma at the end of a line gives no final empty field.
QStringList WithoutFinalEmpty(QStringList fields) {
    if (fields.size() > 1 && fields.back().isEmpty()) {
        fields.removeLast();
    }
    return fields;
}

void CheckFieldsInOrder(const QString &line, const QStringList &fields) {
    qsizetype from = 0;
    for (const QString &field : fields) {
        const qsizetype at = line.indexOf(field, from);
        FUZZ_CHECK(at >= 0, Escaped(field) + QLatin1String(" not in ") + Escaped(line));
        from = at + field.size();
    }
}

void CheckQuotedRoundTrip(const QString &source) {
    QString unquoted = source;
    unquoted.remove(QLatin1Char('"'));
    const QStringList fields = unquoted.split(QLatin1Char('\n'));
    if (fields.size() > 32767) {
        return;  // too many fields for one line
    }
    QStringList written;
    for (const QString &field : fields) {
        written.append(field.isEmpty() ? field : QLatin1Char('"') + field + QLatin1Char('"'));
    }
    const QString line = written.join(QLatin1Char(','));
    const QStringList again = Split(line);
    FUZZ_CHECK(again == WithoutFinalEmpty(fields),
               Escaped(again.join(QLatin1String("|"))) + QLatin1String(" from ") + Escaped(line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString line = FuzzText(data, size);
    const QStringList fields = Split(line);
    if (fields.isEmpty()) {
        return 0;  // refused as too long, checked above
    }
    CheckFieldsInOrder(line, fields);
    if (!line.contains(QLatin1Char('"'))) {
        FUZZ_CHECK(fields == WithoutFinalEmpty(line.split(QLatin1Char(','))),
                   Escaped(fields.join(QLatin1String("|"))));
    }
    CheckQuotedRoundTrip(line);
    return 0;
}
