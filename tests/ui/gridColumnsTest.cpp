// The result grid's column widths on a real SQLite result.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include "data/basConnect.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "ui/frmSQL.h"

namespace {

class GridColumnsTest : public testing::Test {
protected:
    void SetUp() override {
        const auto source = SourceFor(TestDriver::Sqlite);
        ASSERT_TRUE(source);
        connection_.setConnectionString(
            BuildConnectionString(source->dsn, source->uid, source->pwd));
        connection_.Open();
        window_.resize(900, 600);
        window_.show();
    }

    void Run(const QString &sql) {
        Recordset &rs = window_.RecordSet();
        if (rs.State() == Recordset::StateOpen) {
            rs.Close();
        }
        rs.Open(sql, connection_);
        window_.BindGrid();
    }

    // Whether the text of a cell fits its column without being cut short.
    bool Fits(int row, int column) const {
        QTableView *grid = window_.grdQry();
        const int needed = grid->sizeHintForIndex(grid->model()->index(row, column)).width();
        return grid->columnWidth(column) >= needed;
    }

    Connection connection_;
    frmSQL window_{1};
};

// 2,000 rows: a 2,000-character value in the first column, numbers whose widest value lies far
// below the first rows, and a short column last.
const char *const kLongResult =
    "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 2000) "
    "SELECT CASE WHEN n = 2 THEN substr(replace(hex(zeroblob(1000)), '00', 'ab'), 1, 2000) "
    "ELSE 'short' END AS long_text, "
    "CASE WHEN n = 1500 THEN 1234567890123456789 ELSE n END AS amount, "
    "'日本' AS jp FROM r";

TEST_F(GridColumnsTest, ANullColumnFitsTheWordShownForNull) {
    // A name narrower than the word, and NULL on every row but a short value on one.
    Run(QStringLiteral("SELECT NULL AS n UNION ALL SELECT 'a' UNION ALL SELECT NULL"));
    ASSERT_EQ(window_.grdQry()->model()->index(0, 0).data().toString(), QStringLiteral("NULL"));
    EXPECT_TRUE(Fits(0, 0)) << "width " << window_.grdQry()->columnWidth(0);
    EXPECT_TRUE(Fits(2, 0));
}

TEST_F(GridColumnsTest, TheWidestNumberFitsWhereverItIs) {
    Run(QString::fromLatin1(kLongResult));
    EXPECT_TRUE(Fits(1499, 1)) << "width " << window_.grdQry()->columnWidth(1);
    EXPECT_TRUE(Fits(0, 2));
}

TEST_F(GridColumnsTest, ALongValueIsCappedAtAThirdOfTheGridAndKeepsTheOthersOnScreen) {
    Run(QString::fromLatin1(kLongResult));
    QTableView *grid = window_.grdQry();
    const int viewWidth = grid->viewport()->width();
    EXPECT_LE(grid->columnWidth(0), viewWidth / 3);
    EXPECT_FALSE(Fits(1, 0));  // the long value is cut short...
    EXPECT_GT(grid->columnWidth(0), grid->sizeHintForIndex(grid->model()->index(0, 0)).width());
    // ... while the other columns are whole on screen.
    EXPECT_LE(grid->columnViewportPosition(2) + grid->columnWidth(2), viewWidth);
}

TEST_F(GridColumnsTest, ANarrowGridStillShowsLongNumbersWhole) {
    window_.resize(300, 400);
    Run(QStringLiteral("SELECT -1234567890123456789 AS big, 3.14159265358979 AS pi"));
    EXPECT_TRUE(Fits(0, 0)) << "width " << window_.grdQry()->columnWidth(0);
    EXPECT_TRUE(Fits(0, 1)) << "width " << window_.grdQry()->columnWidth(1);
}

TEST_F(GridColumnsTest, ANewResultIsSizedAfresh) {
    Run(QString::fromLatin1(kLongResult));
    Run(QStringLiteral("SELECT 'a' AS c1, 'b' AS c2, 'c' AS c3"));
    QTableView *grid = window_.grdQry();
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(grid->columnWidth(column), grid->horizontalHeader()->sectionSizeHint(column));
    }
}

}  // namespace
