// Colouring a text a stretch of lines at a time, and keeping the keyword file between colourings.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include <random>

#include "engines/clsEditColor.h"
#include "engines/colorKeywordCache.h"
#include "engines/commentState.h"
#include "engines/richTextBridge.h"
#include "tests/engines/engineTestSupport.h"

namespace {

const QStringList kKeywords = {QStringLiteral("select,1"), QStringLiteral("from,1"),
                               QStringLiteral("null,2"),   QStringLiteral("order by,3"),
                               QStringLiteral("x*/,2"),    QStringLiteral("/*k,3")};

struct LinesRow {
    const char *name;
    const char *text;  // lines separated by CR LF
};

void PrintTo(const LinesRow &row, std::ostream *out) {
    *out << row.name;
}

class ColorLinesTest : public testing::TestWithParam<LinesRow> {};

// Every split of the text into two stretches, the second started in the state the first ended
// in, colours as the whole text does; so does the whole text in one stretch.
TEST_P(ColorLinesTest, StretchesColourAsTheWholeText) {
    clsEditColor engine(WriteKeywordFile(QStringLiteral("COLOR_LINES.CSV"), kKeywords));
    const QString text = QString::fromUtf8(GetParam().text);
    const RtfDocument whole = ParseRtf(engine.CColor(PlainToRtf(text)));
    const std::optional<ColoredLines> once = engine.CColorLines(text, false);
    ASSERT_TRUE(once);
    EXPECT_EQ(once->document.text, whole.text);
    EXPECT_EQ(once->document.runs, whole.runs);
    const QStringList lines = text.split(QLatin1String("\r\n"));
    ASSERT_EQ(once->endsInComment.size(), size_t(lines.size()));

    for (qsizetype split = 1; split < lines.size(); ++split) {
        SCOPED_TRACE("split before line " + std::to_string(split));
        const QString head = lines.first(split).join(QLatin1String("\r\n"));
        const std::optional<ColoredLines> first = engine.CColorLines(head, false);
        const std::optional<ColoredLines> second = engine.CColorLines(
            lines.sliced(split).join(QLatin1String("\r\n")), first->endsInComment.back());
        ASSERT_TRUE(first && second);
        const qsizetype offset = first->document.text.size() + 2;
        QList<ColorRun> runs = first->document.runs;
        for (ColorRun run : second->document.runs) {
            run.start += offset;
            runs.append(run);
        }
        EXPECT_EQ(first->document.text + QLatin1String("\r\n") + second->document.text, whole.text);
        EXPECT_EQ(runs, whole.runs);
        std::vector<bool> ends = first->endsInComment;
        ends.insert(ends.end(), second->endsInComment.begin(), second->endsInComment.end());
        EXPECT_EQ(ends, once->endsInComment);
    }
}

// The states of the lines, worked out from their plain text one after the other, and their tabs
// made spaces, are those the engine gives the whole text.
void ExpectStatesAndTabsAsTheEngine(clsEditColor &engine, const QString &text) {
    const std::optional<ColoredLines> colored = engine.CColorLines(text, false);
    ASSERT_TRUE(colored);
    const QStringList lines = text.split(QLatin1String("\r\n"));
    std::vector<bool> ends;
    QStringList expanded;
    bool starts = false;
    for (const QString &line : lines) {
        starts = LineEndsInComment(line, starts);
        ends.push_back(starts);
        expanded.append(ExpandLineTabs(line, engine.TabSpaceNum()));
    }
    EXPECT_EQ(ends, colored->endsInComment);
    EXPECT_EQ(expanded.join(QLatin1String("\r\n")), colored->document.text);
}

TEST_P(ColorLinesTest, LineStatesFollowFromThePlainText) {
    clsEditColor engine(WriteKeywordFile(QStringLiteral("COLOR_LINES.CSV"), kKeywords));
    for (const short tabSpaces : {4, 1, 0}) {
        SCOPED_TRACE("tab spaces " + std::to_string(tabSpaces));
        engine.setTabSpaceNum(tabSpaces);
        ExpectStatesAndTabsAsTheEngine(engine, QString::fromUtf8(GetParam().text));
    }
}

// Random lines of the pieces that matter to comments, against the engine.
TEST(LineStatesTest, RandomLinesFollowAsTheEngineSays) {
    static const char *const kPieces[] = {"/*",  "*/",  "/*/", "--",     "-",           "/",  "*",
                                          "x*/", "/*k", "--z", "select", " ",           "\t", "\\",
                                          "{",   "'a'", "**",  "//",     "\xe3\x80\x80"};
    clsEditColor engine(WriteKeywordFile(QStringLiteral("COLOR_LINES.CSV"), kKeywords));
    std::mt19937 random(20261207);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int text = 0; text < 300; ++text) {
        QStringList lines;
        for (int line = 1 + below(8); line > 0; --line) {
            QString pieces;
            for (int piece = below(7); piece > 0; --piece) {
                pieces += QString::fromUtf8(kPieces[below(int(std::size(kPieces)))]);
            }
            lines.append(pieces);
        }
        const QString joined = lines.join(QLatin1String("\r\n"));
        SCOPED_TRACE(joined.toStdString());
        ExpectStatesAndTabsAsTheEngine(engine, joined);
        if (HasFailure()) {
            return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ColorLinesTest,
    testing::Values(
        LinesRow{"keywords_only", "select a\r\nfrom t\r\nwhere x is null"},
        LinesRow{"block_comment_across_lines", "select /* a\r\nfrom\r\nb */ null\r\nfrom"},
        LinesRow{"empty_lines_inside_a_comment", "/*\r\n\r\n\r\nselect */ from"},
        LinesRow{"escape_first_in_a_commented_line", "/* a\r\n{x} select\r\n\\y */ null"},
        LinesRow{"tab_first_in_a_commented_line", "/*\r\n\tselect\r\n*/\tfrom"},
        LinesRow{"slash_star_slash_closes_at_once", "/*/ select\r\nfrom"},
        LinesRow{"closer_right_at_a_line_start", "/* select\r\n*/from\r\nselect"},
        LinesRow{"line_comment_hides_an_opener", "-- /* select\r\nfrom"},
        LinesRow{"opener_hides_a_line_comment", "/* -- a\r\nselect */ -- from\r\nnull"},
        LinesRow{"keyword_holding_a_closer", "/* a\r\n x*/ select\r\nfrom"},
        LinesRow{"keyword_holding_an_opener", "/*k select\r\nfrom */ null"},
        LinesRow{"never_closed", "select\r\n/* from\r\n\r\nnull"},
        LinesRow{"phrase_in_a_comment_line", "/*\r\norder by */ order by"},
        LinesRow{"japanese", "\xe9\x81\xb8\xe6\x8a\x9e /* \xe3\x80\x80\r\n\xe8\xa1\xa8 */ select"}),
    [](const testing::TestParamInfo<LinesRow> &info) { return std::string(info.param.name); });

// A loader that counts its calls and reads the file the engine's way.
struct CountingLoader {
    int calls = 0;
    ColorKeywordCache::Loader loader() {
        return [this](const QString &path) {
            ++calls;
            if (!QFile::exists(path)) {
                throw MakeFailure(FailureNumber::FileNotFound);
            }
            if (ReadTestFile(path).contains(QLatin1String("broken"))) {
                throw MakeFailure(FailureNumber::SubscriptRange);
            }
            return QList<ColorKeyword>{{QStringLiteral("select"), 1}};
        };
    }
};

void SetModified(const QString &path, const QDateTime &time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

// Between two calls the file is left alone or changed as the row says; the row gives the loads
// counted and the generation after the second call.
TEST(ColorKeywordCacheTest, LoadsTheFileOnlyWhenItChanged) {
    const struct {
        const char *name;
        std::function<void(const QString &path)> between;
        int loads;
        quint64 generation;
    } rows[] = {
        {"unchanged", [](const QString &) {}, 1, 1},
        {"another size",
         [](const QString &path) {
             WriteTestFile(path, QStringLiteral("KEYWORD,COLOR\r\nx,1\r\n"));
         },
         2, 2},
        {"same size, another time",
         [](const QString &path) {
             SetModified(path, QDateTime::currentDateTime().addSecs(-3600));
         },
         2, 2},
        {"removed", [](const QString &path) { QFile::remove(path); }, 2, 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path =
            WriteKeywordFile(QStringLiteral("CACHED.CSV"), {QStringLiteral("select,1")});
        ColorKeywordCache cache;
        CountingLoader counting;
        EXPECT_EQ(cache.Keywords(path, counting.loader()).size(), 1);
        row.between(path);
        try {
            cache.Keywords(path, counting.loader());
        } catch (const Failure &) {
        }
        EXPECT_EQ(counting.calls, row.loads);
        EXPECT_EQ(cache.Generation(), row.generation);
    }
}

// A file that fails keeps failing with the same number, without being read again, until it
// changes.
TEST(ColorKeywordCacheTest, AFailureIsThrownAgainUntilTheFileChanges) {
    const QString path = WriteKeywordFile(QStringLiteral("BROKEN.CSV"), {QStringLiteral("broken")});
    ColorKeywordCache cache;
    CountingLoader counting;
    for (int n = 0; n < 2; ++n) {
        try {
            cache.Keywords(path, counting.loader());
            ADD_FAILURE() << "no failure";
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number, FailureNumber::SubscriptRange);
        }
    }
    EXPECT_EQ(counting.calls, 1);
    WriteTestFile(path, QStringLiteral("KEYWORD,COLOR\r\nselect,1\r\n"));
    EXPECT_EQ(cache.Keywords(path, counting.loader()).size(), 1);
    EXPECT_EQ(counting.calls, 2);
    EXPECT_EQ(cache.Generation(), 1u);
}

}  // namespace
