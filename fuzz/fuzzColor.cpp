// The colouring engine with the program's default keyword file, on any rich text and on any
// plain text the editor could hold. Colouring must never lose, add or change a character of
// the document: only colour codes and the colour table are added.
#include <QList>
#include <QString>

#include <algorithm>

#include "core/failure.h"
#include "engines/clsEditColor.h"
#include "engines/richTextBridge.h"
#include "engines/rtfScanner.h"
#include "fuzz/fuzzSupport.h"

namespace {

struct ColorFixture {
    clsEditColor engine{DefaultKeywordFile("KEYWORD_COLOR.CSV")};
    QList<int> failures;
    QList<RtfColor> table;  // the colours of the engine's own table

    ColorFixture() {
        engine.setFailureHandler(
            [this](const Failure &failure) { failures.append(failure.number); });
        table = ParseRtf(QLatin1Char('{') + clsEditColor::ColorTable() + QLatin1Char('}')).colors;
    }
};

ColorFixture &Fixture() {
    static ColorFixture fixture;
    return fixture;
}

// The rich text without any colour code \cf0..\cf4, wherever it stands.
QString WithoutColorCodes(const QString &rtf) {
    QString kept;
    RtfScanner scanner(rtf);
    RtfToken token;
    while (scanner.next(token)) {
        if (!IsColorCodeToken(rtf, token)) {
            kept += QStringView(rtf).sliced(token.start, token.length);
        }
    }
    return kept;
}

// Any rich text: either the engine refuses it (failure 5, when it does not start with a brace
// once line breaks and colour codes are gone) or the result is the document with the colour
// table after its opening brace, a final space, and colour codes; nothing else differs.
void CheckAnyRichText(ColorFixture &f, const QString &rtf, short tabs) {
    f.failures.clear();
    f.engine.setTabSpaceNum(tabs);
    const QString result = f.engine.CColor(rtf);
    QString joined = rtf;
    joined.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    const QString prepared = RemoveRtfColorCodes(ExpandRtfTabs(joined, tabs));
    if (!prepared.startsWith(QLatin1Char('{'))) {
        FUZZ_CHECK(result.isEmpty(), Escaped(result));
        FUZZ_CHECK(f.failures == QList<int>{FailureNumber::InvalidArgument},
                   QStringLiteral("failures: %1").arg(f.failures.size()));
        return;
    }
    FUZZ_CHECK(f.failures.isEmpty(), QStringLiteral("failure %1").arg(f.failures.value(0)));
    const QString head = QLatin1Char('{') + clsEditColor::ColorTable();
    FUZZ_CHECK(result.startsWith(head) && result.endsWith(QLatin1Char(' ')), Escaped(result));
    QString body = result;
    body.remove(1, clsEditColor::ColorTable().size());
    body.chop(1);
    FUZZ_CHECK(WithoutColorCodes(body) == WithoutColorCodes(prepared),
               Escaped(WithoutColorCodes(body)) + QLatin1String("\n  instead of\n") +
                   Escaped(WithoutColorCodes(prepared)));
}

// Plain text as the editor colours it (plain text to RTF, colour, back): the same text with
// every tab as spaces, and colour runs from the engine's table that lie inside the text, in
// order, and never across a line break.
void CheckPlainText(ColorFixture &f, const QString &plain, short tabs) {
    f.failures.clear();
    f.engine.setTabSpaceNum(tabs);
    const RtfDocument doc = ParseRtf(f.engine.CColor(PlainToRtf(plain)));
    FUZZ_CHECK(f.failures.isEmpty(), QStringLiteral("failure %1").arg(f.failures.value(0)));
    QString expected = WithCrLfBreaks(plain);
    expected.replace(QLatin1Char('\t'), QString(std::max<short>(tabs, 1), QLatin1Char(' ')));
    FUZZ_CHECK(doc.text == expected,
               Escaped(doc.text) + QLatin1String("\n  instead of\n") + Escaped(expected));
    qsizetype end = 0;
    for (const ColorRun &run : doc.runs) {
        FUZZ_CHECK(run.length > 0 && run.start >= end && run.start + run.length <= doc.text.size(),
                   QStringLiteral("run %1+%2 after %3").arg(run.start).arg(run.length).arg(end));
        const QStringView covered = QStringView(doc.text).sliced(run.start, run.length);
        FUZZ_CHECK(!covered.contains(QLatin1Char('\r')) && !covered.contains(QLatin1Char('\n')),
                   Escaped(covered.toString()));
        FUZZ_CHECK(f.table.contains(run.color), Escaped(covered.toString()));
        end = run.start + run.length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ColorFixture &f = Fixture();
    const QString text = FuzzText(data, size);
    const short tabs = size == 0 ? 4 : static_cast<short>(data[size - 1] % 6);
    CheckAnyRichText(f, text, tabs);
    CheckPlainText(f, text, tabs);
    return 0;
}
