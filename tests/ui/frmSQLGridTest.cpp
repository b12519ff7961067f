#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTableView>

#include "app/basGlobals.h"
#include "data/basConnect.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "ui/frmSQL.h"

namespace {

// A query window whose result holds 25 rows of a real SQLite data source.
class FrmSqlGridTest : public testing::Test {
protected:
    void SetUp() override {
        const auto source = SourceFor(TestDriver::Sqlite);
        ASSERT_TRUE(source);
        connection_.setConnectionString(
            BuildConnectionString(source->dsn, source->uid, source->pwd));
        connection_.Open();
        window_.RecordSet().Open(
            QStringLiteral("WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r "
                           "WHERE n < 25) SELECT n, NULL AS empty FROM r"),
            connection_);
        window_.resize(500, 600);
        window_.show();
        window_.BindGrid();
    }

    int selectedRow() const {
        const auto rows = window_.grdQry()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }

    Connection connection_;
    frmSQL window_{1};
};

TEST_F(FrmSqlGridTest, ShowsEveryRowWithTheFieldNames) {
    const QAbstractItemModel *model = window_.grdQry()->model();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->rowCount(), 25);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("n"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("empty"));
    EXPECT_EQ(model->index(24, 0).data().toString(), QStringLiteral("25"));
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("NULL"));
    EXPECT_EQ(selectedRow(), 0);
}

TEST_F(FrmSqlGridTest, FollowsTheCurrentRowBothWays) {
    Recordset &rs = window_.RecordSet();
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_EQ(selectedRow(), 2);
    window_.grdQry()->selectRow(10);  // as a click on row 11 does
    EXPECT_EQ(rs.AbsolutePosition(), 10);
    EXPECT_EQ(rs.Value(0), QStringLiteral("11"));
    rs.MoveLast();
    EXPECT_EQ(selectedRow(), 24);
    rs.MoveNext();  // EOF: no current row, nothing selected
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(selectedRow(), -1);
}

TEST_F(FrmSqlGridTest, ClosingTheWindowClosesItsResult) {
    window_.close();
    EXPECT_EQ(window_.RecordSet().State(), Recordset::StateClosed);
    EXPECT_EQ(window_.grdQry()->model()->rowCount(), 0);
}

}  // namespace
