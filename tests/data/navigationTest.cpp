#include "data/layerFailure.h"
#include "tests/data/databaseTest.h"

namespace {

// Moves of the grid toolbar: single moves, and ten-row moves made of ten single moves whose
// failures at either end are ignored.
enum Move { First, Last, Next, Previous, TenNext, TenPrevious };

struct NavigationRow {
    const char *name;
    int startRow;  // 1-based row to start on
    std::vector<Move> moves;
    int endRow;  // 1-based; 0 for BOF, 26 for EOF
};

// Positions are the same for every driver once the rows are in memory: SQLite serves them.
class NavigationTest : public testing::TestWithParam<NavigationRow> {
protected:
    void SetUp() override {
        const TestSource source = *SourceFor(TestDriver::Sqlite);
        connection.setConnectionString(QStringLiteral("DSN=") + source.dsn + QLatin1Char(';'));
        connection.Open();
    }
    Connection connection;
};

// 25 rows numbered 1 to 25, from a recursive query that both drivers understand.
const char *kTwentyFive =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 25) "
    "SELECT i FROM n";

void Apply(Recordset &rs, Move move) {
    auto single = [&](void (Recordset::*step)()) { IgnoreFailure([&] { (rs.*step)(); }); };
    switch (move) {
        case First:
            single(&Recordset::MoveFirst);
            break;
        case Last:
            single(&Recordset::MoveLast);
            break;
        case Next:
            single(&Recordset::MoveNext);
            break;
        case Previous:
            single(&Recordset::MovePrevious);
            break;
        case TenNext:
            for (int i = 0; i < 10; ++i)
                single(&Recordset::MoveNext);
            break;
        case TenPrevious:
            for (int i = 0; i < 10; ++i)
                single(&Recordset::MovePrevious);
            break;
    }
}

int OneBasedRow(const Recordset &rs) {
    if (rs.Bof()) {
        return 0;
    }
    if (rs.Eof()) {
        return int(rs.RecordCount()) + 1;
    }
    EXPECT_EQ(rs.Value(0), QString::number(rs.AbsolutePosition() + 1));
    return int(rs.AbsolutePosition()) + 1;
}

TEST_P(NavigationTest, EndsOnTheExpectedRow) {
    const NavigationRow &row = GetParam();
    Recordset rs;
    rs.Open(QString::fromLatin1(kTwentyFive), connection);
    ASSERT_EQ(rs.RecordCount(), 25);
    EXPECT_EQ(OneBasedRow(rs), 1) << "a result opens on its first row";
    rs.setAbsolutePosition(row.startRow - 1);
    for (Move move : row.moves) {
        Apply(rs, move);
    }
    EXPECT_EQ(OneBasedRow(rs), row.endRow);
}

const NavigationRow kRows[] = {
    {"ten_back_from_row_3_reaches_bof", 3, {TenPrevious}, 0},
    {"next_from_bof_is_row_1", 3, {TenPrevious, Next}, 1},
    {"ten_forward_from_row_1_is_row_11", 1, {TenNext}, 11},
    {"twice_more_is_row_21", 1, {TenNext, TenNext}, 21},
    {"three_times_reaches_eof", 1, {TenNext, TenNext, TenNext}, 26},
    {"previous_from_eof_is_the_last_row", 1, {TenNext, TenNext, TenNext, Previous}, 25},
    {"next_at_eof_stays_at_eof", 25, {Next, Next}, 26},
    {"previous_at_bof_stays_at_bof", 1, {Previous, Previous}, 0},
    {"first_from_eof", 25, {Next, First}, 1},
    {"last_from_bof", 1, {Previous, Last}, 25},
};

INSTANTIATE_TEST_SUITE_P(Rows, NavigationTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(NavigationFailures, MovesFailAtTheEndsAndWhenClosed) {
    Connection connection;
    connection.setConnectionString(QStringLiteral("DSN=") + SourceFor(TestDriver::Sqlite)->dsn);
    connection.Open();
    Recordset rs;
    EXPECT_EQ(FailureOf([&] { rs.MoveNext(); }).number, LayerFailureNumber::ObjectClosed);
    rs.Open(QString::fromLatin1(kTwentyFive), connection);
    rs.MovePrevious();  // row 1 to BOF succeeds
    EXPECT_EQ(FailureOf([&] { rs.MovePrevious(); }).number, LayerFailureNumber::NoCurrentRecord);
    EXPECT_EQ(FailureOf([&] { rs.Value(0); }).number, LayerFailureNumber::NoCurrentRecord);
    rs.MoveLast();
    rs.MoveNext();  // last row to EOF succeeds
    EXPECT_EQ(FailureOf([&] { rs.MoveNext(); }).number, LayerFailureNumber::NoCurrentRecord);
    EXPECT_EQ(rs.AbsolutePosition(), -1);
}

}  // namespace
