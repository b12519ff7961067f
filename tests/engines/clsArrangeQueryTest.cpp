#include <gtest/gtest.h>

#include "engines/clsArrangeQuery.h"
#include "tests/engines/engineTestSupport.h"
#include "tests/support/recordingPresenter.h"

namespace {

const QStringList kExampleKeywords = {QStringLiteral("SELECT,1,1"), QStringLiteral("FROM,1,1"),
                                      QStringLiteral("WHERE,1,1"), QStringLiteral("AND,2,1"),
                                      QStringLiteral("\",\",1,0")};

struct ArrangeRow {
    const char *name;
    const char *text;
    const char *expected;
    QStringList keywords = kExampleKeywords;
};

// Shown instead of the bytes of the row in test names and messages.
void PrintTo(const ArrangeRow &row, std::ostream *out) {
    *out << row.name;
}

class ArrangeRowTest : public testing::TestWithParam<ArrangeRow> {};

TEST_P(ArrangeRowTest, ArrangesTheText) {
    const ArrangeRow &row = GetParam();
    const QString result =
        clsArrangeQuery(WriteKeywordFile(QStringLiteral("ARRANGE_ROW.CSV"), row.keywords))
            .CArrange(QString::fromUtf8(row.text));
    EXPECT_EQ(Readable(result, false), Readable(QString::fromUtf8(row.expected), false));
}

const ArrangeRow kRows[] = {
    {"no_keyword_tabs_and_lone_cr", "x\ty\rz", "x    y\r\nz"},
    {"empty_text", "", ""},
    {"one_character_never_searched", ",", ","},
    {"case_kept", "SELECT a FROM t", "SELECT\r\n    a\r\nFROM\r\n    t"},
    {"word_inside_longer_word", "selected fromx", "selected fromx"},
    {"word_next_to_bracket_or_comma", "(select) from,x", "(select) from,\r\n    x"},
    {"symbol_inside_word", "a,b", "a,\r\n    b"},
    {"spaces_at_start_dropped", "   select a", "select\r\n    a"},
    {"keyword_ends_text", "a from", "a\r\nfrom\r\n"},
    {"keyword_then_spaces_only", "a from   ", "a\r\nfrom\r\n    "},
    {"blank_lines_after_keyword_replaced", "select\r\n\r\n      a", "select\r\n    a"},
    {"blank_lines_before_word_kept", "a\r\n\r\nfrom t", "a\r\n\r\nfrom\r\n    t"},
    {"keyword_in_comment_moved_out", "x -- from here", "x --\r\nfrom\r\n    here"},
    {"comma_in_string_breaks", "x = 'a, b'", "x = 'a,\r\n    b'"},
    {"phrase_exact_spacing",
     "order by x order  by y",
     "order by\r\n    x order  by y",
     {QStringLiteral("ORDER BY,1,1")}},
    {"level_zero", "a go b", "a\r\ngo\r\nb", {QStringLiteral("GO,0,1")}},
    {"level_two_keyword_at_start_loses_indent_later",
     "and x and y",
     "and\r\n        x\r\n    and\r\n        y",
     {QStringLiteral("AND,2,1")}},
    {"empty_keyword_skipped",
     "select a",
     "select\r\n    a",
     {QStringLiteral(",1,1"), QStringLiteral("SELECT,1,1")}},
    {"layout_only_keywords_skipped",
     "a  b\r\nc",
     "a  b\r\nc",
     {QStringLiteral("\"  \",3,0"), QStringLiteral("\" \",1,1"), QStringLiteral("\"\r\",1,0")}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ArrangeRowTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ArrangeKeywordFileForms, BlankLinesSpacesAndQuotesGiveTheSameList) {
    const QString text = QStringLiteral("select a, b from t where x = 1 and y = 2");
    const QString plain =
        clsArrangeQuery(WriteRawKeywordFile(QStringLiteral("PLAIN.CSV"),
                                            "H\r\nSELECT,1,1\r\nFROM,1,1\r\nAND,2,1\r\n\",\",1,0"))
            .CArrange(text);
    const QString spaced =
        clsArrangeQuery(WriteRawKeywordFile(QStringLiteral("SPACED.CSV"),
                                            "H\r\n\r\n  SELECT,1,1  \r\n   \r\nFROM, 1 , 1\r\n"
                                            "\"AND\",2,1,extra\r\n\",\",1,0\r\n\r\n"))
            .CArrange(text);
    EXPECT_FALSE(plain.isEmpty());
    EXPECT_EQ(spaced, plain);
}

}  // namespace
