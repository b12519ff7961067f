// The formatter with the program's default keyword file, on any query text. Formatting changes
// nothing but spaces, tabs and line breaks, never fails with the default keywords, and gives
// its line breaks as CR LF.
#include <QString>

#include "engines/clsArrangeQuery.h"
#include "fuzz/fuzzSupport.h"

namespace {

QString WithoutLayout(QString text) {
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    return text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

// True when every CR is followed by an LF and every LF follows a CR.
bool OnlyCrLfBreaks(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') &&
            (i + 1 == text.size() || text.at(i + 1) != QLatin1Char('\n'))) {
            return false;
        }
        if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static BoxRecorder boxes;
    static clsArrangeQuery engine(DefaultKeywordFile("KEYWORD_ARRANGE.CSV"));
    boxes.clear();
    const QString text = FuzzText(data, size);
    const QString result = engine.CArrange(text);
    FUZZ_CHECK(boxes.texts().isEmpty(), boxes.texts().value(0));
    FUZZ_CHECK(WithoutLayout(result) == WithoutLayout(text),
               Escaped(result) + QLatin1String("\n  from\n") + Escaped(text));
    // A lone LF of the input is no line break to the formatter and stays as it is.
    if (!text.contains(QLatin1Char('\n')) || OnlyCrLfBreaks(text)) {
        FUZZ_CHECK(OnlyCrLfBreaks(result), Escaped(result));
    }
    return 0;
}
