#include <gtest/gtest.h>

#include "core/failure.h"
#include "engines/basCsv.h"

namespace {

struct CsvRow {
    const char *name;
    const char *line;    // Q stands for a double quote, _ for a space
    const char *fields;  // fields joined by |
};

QString Expand(const char *text) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('Q'), QLatin1Char('"'));
    s.replace(QLatin1Char('_'), QLatin1Char(' '));
    return s;
}

class SplitCsvLineTest : public testing::TestWithParam<CsvRow> {};

TEST_P(SplitCsvLineTest, GivesTheFields) {
    const CsvRow &row = GetParam();
    EXPECT_EQ(SplitCsvLine(Expand(row.line)).join(QLatin1Char('|')), Expand(row.fields));
}

const CsvRow kRows[] = {
    {"empty_line", "", ""},
    {"two_fields", "a,b", "a|b"},
    {"empty_middle", "a,,b", "a||b"},
    {"empty_first", ",a", "|a"},
    {"trailing_comma_no_final_field", "a,", "a"},
    {"two_trailing_commas", "a,,", "a|"},
    {"spaces_kept", "_a_,_b", "_a_|_b"},
    {"quoted_comma", "Qa,bQ,c", "a,b|c"},
    {"quoted_last", "a,QbQ", "a|b"},
    {"quoted_comma_alone", "Q,Q,1", ",|1"},
    {"quoted_quote_alone", "QQQ,1", "Q|1"},
    {"two_quotes_not_empty_field", "QQ,1", "QQ|1"},
    {"two_quotes_then_more", "QQ,b,QcQ", "Q,b,|Q"},
    {"char_after_close_dropped", "QaQx,c", "a||c"},
    {"doubled_quote_no_escape", "QaQQbQ,c", "a|bQ|c"},
    {"unclosed_quote", "Qabc,d", "Qabc|d"},
    {"quote_after_space_not_opening", "_Qa,bQ", "_Qa|bQ"},
    {"japanese", "選択,1,2", "選択|1|2"},
};

INSTANTIATE_TEST_SUITE_P(Rows, SplitCsvLineTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SplitCsvLineLimits, SplitsAtMost32767Fields) {
    const QString maxLine = QString(QLatin1Char(',')).repeated(32766);  // 32,767 empty fields
    EXPECT_EQ(SplitCsvLine(maxLine + QLatin1Char('x')).size(), 32767);
    try {
        SplitCsvLine(maxLine + QLatin1String(",x"));
        FAIL() << "32,768 fields must overflow";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number, 6);
    }
}

}  // namespace
