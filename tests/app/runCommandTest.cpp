#include <QApplication>
#include <QMdiArea>
#include <QTableView>

#include <gtest/gtest.h>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "data/basConnect.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

const QString kDone = QStringLiteral("クエリ バッチが完了しました。");
const QString kFailed = QStringLiteral("クエリ バッチはエラーで完了しました。");

class RunCommandTest : public testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ResetSharedState();
        const QString dsn = RegisterSqliteSource(QStringLiteral("RunSource"));
        ASSERT_TRUE(OpenConnection(gConnection, dsn, QString(), QString()));
        doc_ = window_.LoadNewDoc();
    }
    void TearDown() override {
        window_.mdiArea()->closeAllSubWindows();
        ResetSharedState();
    }

    void Run(const QString &text) {
        doc_->txtQry()->setText(text);
        window_.mnuQryExec_Click();
        ASSERT_TRUE(window_.WaitUntilIdle(std::chrono::seconds(30)));
    }
    QString Status() const { return window_.PanelText(QStringLiteral("MESSAGE")); }
    qsizetype Count(const QString &table) {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT COUNT(*) FROM ") + table, gConnection);
        return rs.Value(0).toLongLong();
    }
    // The grid's current row, 1-based; 0 when there is none (before the first or past the last).
    qsizetype CurrentRow() const { return doc_->RecordSet().AbsolutePosition() + 1; }

    frmMain window_;
    frmSQL *doc_ = nullptr;
};

TEST_F(RunCommandTest, OneBatchShowsItsRowsInTheGrid) {
    Run(QStringLiteral("SELECT 1 AS a, '日本語' AS b, NULL AS c UNION ALL SELECT 2, 'x', 'y'"));
    EXPECT_EQ(Status(), kDone);
    QAbstractItemModel *model = doc_->grdQry()->model();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("b"));
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("日本語"));
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("NULL"));
    EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(RunCommandTest, ASecondBatchThatFailsStopsTheRun) {
    RecordingPresenter presenter;
    Run(
        QStringLiteral("CREATE TABLE t1 (a INTEGER)\nGO\nSELECT * FROM no_such_table\nGO\n"
                       "CREATE TABLE t3 (a INTEGER)\n"));
    EXPECT_EQ(Status(), kFailed);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("no_such_table")));
    EXPECT_EQ(Count(QStringLiteral("t1")), 0);  // the first batch ran
    presenter.clear();
    Recordset rs;
    EXPECT_THROW(rs.Open(QStringLiteral("SELECT * FROM t3"), gConnection), Failure);
    EXPECT_EQ(doc_->RecordSet().State(), 0);
}

TEST_F(RunCommandTest, ASelectionRunsAlone) {
    doc_->txtQry()->setText(QStringLiteral("SELECT 1 AS one\r\nSELECT 2 AS two"));
    doc_->txtQry()->setSelStart(17);  // the second line, after CR LF
    doc_->txtQry()->setSelLength(15);
    window_.mnuQryExec_Click();
    ASSERT_TRUE(window_.WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_EQ(Status(), kDone);
    EXPECT_EQ(doc_->RecordSet().FieldName(0), QStringLiteral("two"));
}

TEST_F(RunCommandTest, NotConnectedWarnsAndKeepsThePointer) {
    gConnection.Close();
    RecordingPresenter presenter;
    Run(QStringLiteral("SELECT 1"));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].style, 48);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Status(), kFailed);
}

TEST_F(RunCommandTest, AnEmptyLastBatchLeavesTheResultClosed) {
    Run(QStringLiteral("SELECT 1\nGO\n"));
    EXPECT_EQ(Status(), kDone);
    EXPECT_EQ(doc_->RecordSet().State(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RunCommandTest, NavigationOverTwentyFiveRows) {
    Run(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 25) SELECT i FROM n"));
    ASSERT_EQ(doc_->RecordSet().RecordCount(), 25);
    struct Step {
        const char *key;
        qsizetype row;  // expected current row afterwards, 0 for none
    };
    const Step steps[] = {
        {"SGL_NEXT", 2},  {"SGL_NEXT", 3},  {"DBL_BACK", 0},  {"SGL_NEXT", 1},
        {"DBL_NEXT", 11}, {"DBL_NEXT", 21}, {"DBL_NEXT", 0},  {"SGL_BACK", 25},
        {"START", 1},     {"END", 25},      {"SGL_BACK", 24}, {"OTHER", 24},
    };
    for (const Step &step : steps) {
        window_.tlbGrid_ButtonClick(QString::fromLatin1(step.key));
        EXPECT_EQ(CurrentRow(), step.row) << step.key;
    }
    // The grid follows the recordset's current row.
    EXPECT_EQ(doc_->grdQry()->currentIndex().row(), 23);
}

TEST_F(RunCommandTest, NavigationOnAClosedOrEmptyResultDoesNothing) {
    const char *keys[] = {"START", "DBL_BACK", "SGL_BACK", "SGL_NEXT", "DBL_NEXT", "END"};
    for (const char *key : keys) {
        window_.tlbGrid_ButtonClick(QString::fromLatin1(key));  // closed: no box, no failure
    }
    Run(QStringLiteral("SELECT 1 WHERE 0"));
    for (const char *key : keys) {
        window_.tlbGrid_ButtonClick(QString::fromLatin1(key));
        EXPECT_TRUE(doc_->RecordSet().Eof()) << key;
    }
}

}  // namespace
