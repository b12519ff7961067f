#include <gtest/gtest.h>

#include "core/failure.h"
#include "engines/basBatch.h"

namespace {

struct BatchRow {
    const char *name;
    const char *text;
    std::vector<const char *> batches;
};

class SplitBatchesTest : public testing::TestWithParam<BatchRow> {};

TEST_P(SplitBatchesTest, CutsAtSeparatorLines) {
    const BatchRow &row = GetParam();
    QStringList expected;
    for (const char *batch : row.batches) {
        expected.append(QString::fromUtf8(batch));
    }
    EXPECT_EQ(SplitBatches(QString::fromUtf8(row.text)), expected);
}

const BatchRow kRows[] = {
    {"one_line", "A", {"A\r"}},
    {"lf_lowercase_go", "A\ngo\nB", {"A\r", "B\r"}},
    {"crlf_go", "A\r\nGO\r\nB", {"A\r\r", "\rB\r"}},
    {"lf_go_last", "A\nGO", {"A\r", ""}},
    {"crlf_go_last", "A\r\nGO\r\n", {"A\r\r", "\r\r"}},
    {"empty_text", "", {""}},
    {"go_alone", "GO", {"", ""}},
    {"cr_only", "A\rGo\rB", {"A\r", "B\r"}},
    {"go_with_spaces", "A\n  gO  \nB", {"A\r", "B\r"}},
    {"go_with_ideographic_space", "A\n\u3000GO\u3000\nB", {"A\r", "B\r"}},
    {"go_semicolon_not_separator", "A\nGO;\nB", {"A\rGO;\rB\r"}},
    {"go_number_not_separator", "A\nGO 2\nB", {"A\rGO 2\rB\r"}},
    {"goto_not_separator", "GOTO x", {"GOTO x\r"}},
    {"go_comment_not_separator", "GO -- next", {"GO -- next\r"}},
    {"tab_go_not_separator", "\tGO", {"\tGO\r"}},
    {"fullwidth_go_not_separator", "ＧＯ", {"ＧＯ\r"}},
    {"spaces_of_lines_kept", "  SELECT 1  \nGO", {"  SELECT 1  \r", ""}},
    {"two_separators_in_a_row", "A\nGO\nGO\nB", {"A\r", "", "B\r"}},
};

INSTANTIATE_TEST_SUITE_P(Rows, SplitBatchesTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SplitBatchesLimits, FailsWithOverflowPast32767Lines) {
    const QString lines32767 = QString(QLatin1Char('\n')).repeated(32766);
    EXPECT_EQ(SplitBatches(lines32767).size(), 1);
    try {
        SplitBatches(lines32767 + QLatin1Char('\n'));
        FAIL() << "32,768 lines must overflow";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number, 6);
    }
    // CR LF counts as two line breaks.
    EXPECT_THROW(SplitBatches(QString(QLatin1String("\r\n")).repeated(16384)), Failure);
}

}  // namespace
