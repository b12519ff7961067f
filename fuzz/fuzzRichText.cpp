// The rich-text bridge in both directions. Plain text written as RTF reads back as the same
// text with CR LF line breaks and no colour, whatever its characters (lone surrogates too); and
// any RTF at all reads as some text whose colour runs lie inside it, in order, without overlap.
#include <QString>

#include "engines/richTextBridge.h"
#include "fuzz/fuzzSupport.h"

namespace {

void CheckRoundTrip(const QString &plain) {
    const QString rtf = PlainToRtf(plain);
    FUZZ_CHECK(rtf.startsWith(QLatin1String(kRtfHeader)) && rtf.endsWith(QLatin1String("\\par }")),
               Escaped(rtf));
    const RtfDocument doc = ParseRtf(rtf);
    FUZZ_CHECK(doc.text == WithCrLfBreaks(plain),
               Escaped(doc.text) + QLatin1String("\n  instead of\n") + Escaped(plain));
    FUZZ_CHECK(doc.runs.isEmpty() && doc.colors.isEmpty(), Escaped(rtf));
}

void CheckAnyRtf(const QString &rtf) {
    const RtfDocument doc = ParseRtf(rtf);
    qsizetype end = 0;
    for (const ColorRun &run : doc.runs) {
        FUZZ_CHECK(run.length > 0 && run.start >= end && run.start + run.length <= doc.text.size(),
                   QStringLiteral("run %1+%2 after %3 in %4 characters")
                       .arg(run.start)
                       .arg(run.length)
                       .arg(end)
                       .arg(doc.text.size()));
        FUZZ_CHECK(!run.color.isDefault && doc.colors.contains(run.color), Escaped(rtf));
        end = run.start + run.length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = FuzzText(data, size);
    CheckRoundTrip(text);
    CheckRoundTrip(FuzzUtf16(data, size));
    CheckAnyRtf(text);
    return 0;
}
