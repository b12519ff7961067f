#include <gtest/gtest.h>

#include "data/cellStore.h"
#include "data/widestCells.h"
#include "tests/data/databaseTest.h"

namespace {

struct UnitsRow {
    const char *name;
    const char16_t *text;
    int units;
};

void PrintTo(const UnitsRow &row, std::ostream *out) {
    *out << row.name;
}

class DisplayUnitsTest : public testing::TestWithParam<UnitsRow> {};

TEST_P(DisplayUnitsTest, CountsTheLongestLineWithWideCharactersTwice) {
    EXPECT_EQ(WidestCells::DisplayUnits(QStringView(GetParam().text)), GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DisplayUnitsTest,
    testing::Values(UnitsRow{"empty", u"", 0}, UnitsRow{"digits", u"1234567890", 10},
                    UnitsRow{"kanji and kana", u"日本語テキスト", 14},
                    UnitsRow{"half-width kana", u"ﾃｽﾄ", 3},
                    UnitsRow{"full-width digits", u"１２３", 6},
                    UnitsRow{"supplementary ideograph", u"𠮷野家", 6},
                    UnitsRow{"mixed", u"ID:日本", 7},
                    UnitsRow{"longest of several lines", u"ab\r\nabcdef\nabc", 6},
                    UnitsRow{"line break at the end", u"abcd\r\n", 4}),
    [](const testing::TestParamInfo<UnitsRow> &info) {
        std::string name = info.param.name;
        for (char &c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

// Rows come from a real SQLite result.
class WidestCellsTest : public testing::Test {
protected:
    void SetUp() override {
        connection.setConnectionString(QStringLiteral("DSN=") + SourceFor(TestDriver::Sqlite)->dsn);
        connection.Open();
        // 600 rows; the widest number is far down, the widest text (by screen width, not by
        // length) is a Japanese one, NULL is as wide as the word the grid shows for it, empty
        // text is never the widest.
        recordset.Open(
            QStringLiteral(
                "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 600) "
                "SELECT CASE WHEN n = 555 THEN 98765432109876 ELSE n END AS num, "
                "CASE WHEN n = 3 THEN 'abcdefgh' WHEN n = 450 THEN '日本語の値' "
                "ELSE 'x' END AS txt, NULL AS no_value, '' AS blank FROM r"),
            connection);
    }
    Connection connection;
    Recordset recordset;
};

TEST_F(WidestCellsTest, FindsTheWidestRowOfEveryColumnAcrossAllRows) {
    WidestCells widest;
    widest.Reset(recordset.FieldCount());
    widest.Add(recordset);
    EXPECT_EQ(widest.MeasuredRows(), 600);
    EXPECT_EQ(widest.Row(0), 554);
    EXPECT_EQ(widest.Row(1), 449);  // 10 units against the 8 of "abcdefgh"
    EXPECT_EQ(widest.Row(2), 0);    // "NULL", the same on every row: the first one
    EXPECT_EQ(widest.Row(3), -1);
    EXPECT_EQ(widest.Row(4), -1);  // no such column
}

TEST_F(WidestCellsTest, ASecondAddKeepsTheAnswerAndANewResultStartsOver) {
    WidestCells widest;
    widest.Reset(recordset.FieldCount());
    widest.Add(recordset);
    widest.Add(recordset);  // nothing new: same answer
    EXPECT_EQ(widest.MeasuredRows(), 600);
    EXPECT_EQ(widest.Row(0), 554);

    // A new result starts over.
    recordset.Close();
    recordset.Open(QStringLiteral("SELECT 'a' AS one UNION ALL SELECT 'abc'"), connection);
    widest.Reset(recordset.FieldCount());
    widest.Add(recordset);
    EXPECT_EQ(widest.Columns(), 1);
    EXPECT_EQ(widest.Row(0), 1);
}

TEST_F(WidestCellsTest, AClosedRecordsetAddsNothing) {
    WidestCells widest;
    widest.Reset(2);
    recordset.Close();
    widest.Add(recordset);
    EXPECT_EQ(widest.MeasuredRows(), 0);
    EXPECT_EQ(widest.Row(0), -1);
}

// Rows that a worker measured in segments, merged in order, give the answer of one pass over
// the whole result, whatever the segments' sizes.
TEST_F(WidestCellsTest, SegmentsMeasuredApartAndMergedGiveTheWholeAnswer) {
    WidestCells whole;
    whole.Reset(recordset.FieldCount());
    whole.Add(recordset);
    for (const qsizetype size : {1, 7, 100, 449, 450, 600}) {
        SCOPED_TRACE(size);
        WidestCells merged;
        merged.Reset(recordset.FieldCount());
        for (qsizetype first = 0; first < recordset.RecordCount(); first += size) {
            CellStore segment(recordset.FieldCount());
            for (qsizetype row = first; row < std::min(first + size, recordset.RecordCount());
                 ++row) {
                for (int column = 0; column < recordset.FieldCount(); ++column) {
                    if (recordset.CellIsNull(row, column)) {
                        segment.appendNull();
                    } else {
                        const QStringView text = recordset.CellText(row, column);
                        segment.appendPiece(text.utf16(), text.size());
                        segment.endCell();
                    }
                }
            }
            WidestCells found;
            found.Reset(recordset.FieldCount());
            found.Add(segment);
            merged.Merge(found);
        }
        EXPECT_EQ(merged.MeasuredRows(), whole.MeasuredRows());
        for (int column = 0; column < recordset.FieldCount(); ++column) {
            EXPECT_EQ(merged.Row(column), whole.Row(column)) << column;
        }
    }
}

}  // namespace
