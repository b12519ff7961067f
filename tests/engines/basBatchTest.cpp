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

TEST(SplitBatchesLimits, ScriptsPastSixteenBitLineCountsSplit) {
    // 100 batches of 999 lines, each followed by its GO: 100,000 lines and a last empty one.
    const QString block = QStringLiteral("SELECT 1\n").repeated(999) + QStringLiteral("GO\n");
    const QStringList batches = SplitBatches(block.repeated(100));
    ASSERT_EQ(batches.size(), 101);
    EXPECT_EQ(batches.first(), QStringLiteral("SELECT 1\r").repeated(999));
    EXPECT_EQ(batches.at(99), batches.first());
    EXPECT_EQ(batches.last(), QStringLiteral("\r"));
    // CR LF pairs past 32,767 lines keep giving two CRs each.
    EXPECT_EQ(SplitBatches(QStringLiteral("\r\n").repeated(40000)),
              QStringList{QStringLiteral("\r").repeated(80001)});
}

}  // namespace
