// The colouring of a text a stretch of lines at a time, as the query window colours it after an
// edit, against the colouring of the whole text at once: each stretch starts in the comment
// state the stretch before it ended in, and the stretches together must give the same text, the
// same colour runs and the same line-end states as the whole. The first input byte chooses where
// the text is cut; the rest is the text.
#include <QString>
#include <QStringList>

#include <optional>

#include "engines/clsEditColor.h"
#include "fuzz/fuzzSupport.h"

namespace {

clsEditColor &Engine() {
    static clsEditColor engine{DefaultKeywordFile("KEYWORD_COLOR.CSV")};
    return engine;
}

QString Describe(const ColoredLines &colored) {
    QString runs;
    for (const ColorRun &run : colored.document.runs) {
        runs += QStringLiteral(" %1+%2").arg(run.start).arg(run.length);
    }
    QString states;
    for (const bool inComment : colored.endsInComment) {
        states += inComment ? QLatin1Char('c') : QLatin1Char('-');
    }
    return Escaped(colored.document.text) + QLatin1String("\n  runs:") + runs +
           QLatin1String("\n  line ends: ") + states;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static BoxRecorder boxes;
    boxes.clear();
    const unsigned cuts = data[0];  // bit n set: a stretch ends after line n (of the first 8)
    const QStringList lines =
        WithCrLfBreaks(FuzzText(data + 1, size - 1)).split(QStringLiteral("\r\n"));

    const std::optional<ColoredLines> whole =
        Engine().CColorLines(lines.join(QStringLiteral("\r\n")), false);
    FUZZ_CHECK(whole && boxes.texts().isEmpty(), QStringLiteral("the whole text failed"));
    FUZZ_CHECK(whole->endsInComment.size() == size_t(lines.size()),
               QStringLiteral("%1 line-end states for %2 lines")
                   .arg(whole->endsInComment.size())
                   .arg(lines.size()));

    ColoredLines pieced;
    bool inComment = false;
    qsizetype first = 0;
    for (qsizetype line = 0; line < lines.size(); ++line) {
        const bool last = line + 1 == lines.size();
        if (!last && !(line < 8 && (cuts >> line) & 1u)) {
            continue;
        }
        const std::optional<ColoredLines> stretch = Engine().CColorLines(
            lines.mid(first, line + 1 - first).join(QStringLiteral("\r\n")), inComment);
        FUZZ_CHECK(stretch && boxes.texts().isEmpty(),
                   QStringLiteral("the stretch from line %1 failed").arg(first));
        const qsizetype offset =
            first == 0 ? 0 : pieced.document.text.size() + 2;  // after the CR LF between
        if (first > 0) {
            pieced.document.text += QStringLiteral("\r\n");
        }
        pieced.document.text += stretch->document.text;
        for (ColorRun run : stretch->document.runs) {
            run.start += offset;
            pieced.document.runs.append(run);
        }
        pieced.endsInComment.insert(pieced.endsInComment.end(), stretch->endsInComment.begin(),
                                    stretch->endsInComment.end());
        inComment = !stretch->endsInComment.empty() && stretch->endsInComment.back();
        first = line + 1;
    }
    FUZZ_CHECK(pieced.document.text == whole->document.text &&
                   pieced.document.runs == whole->document.runs &&
                   pieced.endsInComment == whole->endsInComment,
               Describe(pieced) + QLatin1String("\ninstead of\n") + Describe(*whole));
    return 0;
}
