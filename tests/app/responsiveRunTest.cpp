// Runs on the connection's worker: the window stays usable, rows show while they arrive, and a
// run can be cancelled, timed out, closed under, or left behind when its driver stops answering.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "app/queryRun.h"
#include "data/basConnect.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

using namespace std::chrono_literals;

const QString kDone = QStringLiteral("クエリ バッチが完了しました。");
const QString kFailed = QStringLiteral("クエリ バッチはエラーで完了しました。");
// Millions of rows, read one at a time from a streaming source: long enough to act during it.
const QString kLongFetch = QStringLiteral(
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000000) "
    "SELECT i, 'row ' || i AS t FROM n");
// The same count without rows: the whole time is spent executing.
const QString kLongExecution = QStringLiteral(
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500000000) "
    "SELECT COUNT(*) FROM n");

class ResponsiveRunTest : public testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ResetSharedState();
        const std::optional<TestSource> source = StreamingSourceFor(TestDriver::Sqlite);
        ASSERT_TRUE(source);
        ASSERT_TRUE(OpenConnection(gConnection, source->dsn, source->uid, source->pwd));
        window_ = std::make_unique<frmMain>();
        window_->show();
        QApplication::setActiveWindow(window_.get());
        doc_ = window_->LoadNewDoc();
    }
    void TearDown() override {
        if (window_) {
            window_->mnuQryCancel_Click();
            window_->WaitUntilIdle(5s);
            window_->mdiArea()->closeAllSubWindows();
            window_.reset();
        }
        ResetSharedState();
    }

    void Start(const QString &text) {
        doc_->txtQry()->setText(text);
        window_->mnuQryExec_Click();
        ASSERT_TRUE(window_->Busy());
    }
    // Runs to the end.
    void Run(const QString &text) {
        Start(text);
        ASSERT_TRUE(window_->WaitUntilIdle(30s));
    }
    int GridRows() const {
        return doc_->grdQry()->model() ? doc_->grdQry()->model()->rowCount() : 0;
    }
    QString Panel(const char *key) const { return window_->PanelText(QString::fromLatin1(key)); }
    bool Enabled(const char *name) const {
        auto *action = window_->findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action && action->isEnabled();
    }

    RecordingPresenter boxes_;
    std::unique_ptr<frmMain> window_;
    frmSQL *doc_ = nullptr;
};

TEST_F(ResponsiveRunTest, RowsShowWhileTheyArriveAndACancelKeepsThem) {
    Start(kLongFetch);
    // Rows are in the grid while the fetch still runs, and the grid pages through them.
    QTRY_VERIFY_WITH_TIMEOUT(GridRows() > 1, 10000);
    EXPECT_TRUE(window_->Busy());
    window_->tlbGrid_ButtonClick(QStringLiteral("END"));
    EXPECT_GT(doc_->RecordSet().AbsolutePosition(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(Panel("PROGRESS").contains(QStringLiteral(" 行 · ")), 2000);

    window_->findChild<QAction *>(QStringLiteral("mnuQryCancel"))->trigger();
    ASSERT_TRUE(window_->WaitUntilIdle(5s));
    EXPECT_EQ(Panel("MESSAGE"), kFailed);
    EXPECT_TRUE(Panel("PROGRESS").startsWith(QStringLiteral("取り消しました · ")))
        << Panel("PROGRESS").toStdString();
    EXPECT_GT(GridRows(), 0);
    EXPECT_FALSE(doc_->RecordSet().Fetching());
    EXPECT_TRUE(boxes_.boxes().isEmpty());  // the user's own cancel needs no box

    // The connection serves the next run.
    Run(QStringLiteral("SELECT 41 + 1 AS answer"));
    EXPECT_EQ(Panel("MESSAGE"), kDone);
    EXPECT_EQ(doc_->RecordSet().Value(0), QStringLiteral("42"));
    EXPECT_TRUE(Panel("PROGRESS").startsWith(QStringLiteral("1 行 · ")));
}

TEST_F(ResponsiveRunTest, EscapeInTheRunningWindowCancelsAnExecution) {
    Start(kLongExecution);
    QTest::qWait(300);
    QTest::keyClick(doc_->txtQry(), Qt::Key_Escape);
    ASSERT_TRUE(window_->WaitUntilIdle(5s));
    EXPECT_EQ(Panel("MESSAGE"), kFailed);
    EXPECT_EQ(GridRows(), 0);
    EXPECT_TRUE(boxes_.boxes().isEmpty());
    Run(QStringLiteral("SELECT 'again' AS a"));
    EXPECT_EQ(doc_->RecordSet().Value(0), QStringLiteral("again"));
}

TEST_F(ResponsiveRunTest, CancelIsThereExactlyWhileSomethingRuns) {
    EXPECT_FALSE(Enabled("mnuQryCancel"));
    EXPECT_TRUE(Enabled("mnuQryExec"));
    Start(kLongExecution);
    EXPECT_TRUE(Enabled("mnuQryCancel"));
    EXPECT_TRUE(Enabled("CANCEL"));
    for (const char *name : {"mnuQryExec", "EXEC", "mnuToolExcel", "mnuFileConnect"}) {
        EXPECT_FALSE(Enabled(name)) << name;
    }
    EXPECT_TRUE(Enabled("mnuFileSave"));  // work on the texts goes on
    // Alt+Pause from anywhere in the main window.
    QApplication::setActiveWindow(window_.get());
    QTest::keyClick(doc_->txtQry(), Qt::Key_Pause, Qt::AltModifier);
    ASSERT_TRUE(window_->WaitUntilIdle(5s));
    EXPECT_FALSE(Enabled("mnuQryCancel"));
    EXPECT_TRUE(Enabled("mnuQryExec"));
}

TEST_F(ResponsiveRunTest, OtherWindowsCanBeEditedWhileARunGoesOn) {
    frmSQL *running = doc_;
    Start(kLongFetch);
    frmSQL *other = window_->LoadNewDoc();
    QTest::keyClicks(other->txtQry(), QStringLiteral("select 1"));
    EXPECT_EQ(other->txtQry()->Text(), QStringLiteral("select 1"));
    EXPECT_TRUE(window_->Busy());
    // The busy pointer is over the running window only.
    EXPECT_EQ(running->grdQry()->viewport()->cursor().shape(), Qt::BusyCursor);
    EXPECT_NE(other->grdQry()->viewport()->cursor().shape(), Qt::BusyCursor);
    window_->mnuQryCancel_Click();
    ASSERT_TRUE(window_->WaitUntilIdle(5s));
    EXPECT_EQ(running->txtQry()->viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(ResponsiveRunTest, TheClockCancelsWithTheTimeOutMessageAndNoPartialResult) {
    gCommand.setCommandTimeout(1);
    Start(kLongFetch);
    QTRY_VERIFY_WITH_TIMEOUT(GridRows() > 0, 10000);
    ASSERT_TRUE(window_->WaitUntilIdle(10s));
    ASSERT_EQ(boxes_.boxes().size(), 1);
    EXPECT_EQ(boxes_.boxes().first().text, QStringLiteral("クエリがタイムアウトしました。"));
    EXPECT_EQ(Panel("MESSAGE"), kFailed);
    EXPECT_EQ(GridRows(), 0);
    EXPECT_EQ(doc_->RecordSet().State(), Recordset::StateClosed);
}

TEST_F(ResponsiveRunTest, AStatementWithoutRowsReportsTheRowsItChanged) {
    Run(QStringLiteral("CREATE TABLE t (a)\r\nGO\r\nINSERT INTO t VALUES (1), (2), (3)"));
    EXPECT_EQ(Panel("MESSAGE"), kDone);
    EXPECT_TRUE(Panel("PROGRESS").startsWith(QStringLiteral("3 行を処理しました · ")))
        << Panel("PROGRESS").toStdString();
}

TEST_F(ResponsiveRunTest, ClosingTheRunningWindowCancelsTheRun) {
    Start(kLongFetch);
    QTRY_VERIFY_WITH_TIMEOUT(GridRows() > 0, 10000);
    doc_->parentWidget()->close();
    doc_ = nullptr;
    ASSERT_TRUE(window_->WaitUntilIdle(2s));
    EXPECT_EQ(gDocCount, 0);
    doc_ = window_->LoadNewDoc();
    Run(QStringLiteral("SELECT 'next' AS a"));
    EXPECT_EQ(doc_->RecordSet().Value(0), QStringLiteral("next"));
}

TEST_F(ResponsiveRunTest, ClosingTheProgramDuringARunEndsIt) {
    Start(kLongExecution);
    QElapsedTimer clock;
    clock.start();
    window_->close();
    EXPECT_FALSE(window_->Busy());
    EXPECT_LT(clock.elapsed(), 3000);  // it gives up on the driver after 1.5 s; more is a hang
    window_.reset();
}

// A driver that does not stop: the user is asked after a few seconds whether to give up the
// connection; the program then goes on without it.
TEST_F(ResponsiveRunTest, AJobThatDoesNotStopLeadsToTheQuestionToDropTheConnection) {
    window_->SetPanelText(QStringLiteral("DSN"), QStringLiteral("shown"));
    window_->Worker().Start([](JobContext &) { std::this_thread::sleep_for(8s); });
    ASSERT_TRUE(window_->Worker().Busy());
    boxes_.queueAnswer(MessageResult::Yes);
    window_->mnuQryCancel_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!window_->Worker().Busy(), 7000);
    ASSERT_EQ(boxes_.boxes().size(), 1);
    EXPECT_EQ(boxes_.boxes().first().style, MessageStyle::YesNoQuestionDefaultNo);
    EXPECT_EQ(gConnection.State(), Connection::StateClosed);
    EXPECT_EQ(Panel("DSN"), QString());
    EXPECT_TRUE(Enabled("mnuFileConnect"));
}

}  // namespace
