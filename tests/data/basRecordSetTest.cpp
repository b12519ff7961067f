#include "data/basRecordSet.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/layerFailure.h"
#include "tests/data/databaseTest.h"
#include "tests/support/recordingPresenter.h"

namespace {

// The procedures run on the connection and command they are given.
class OpenRecordSetTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        connection_.setConnectionString(connectionString());
        connection_.Open();
        command_.setCommandTimeout(30);
    }
    void TearDown() override {
        IgnoreFailure([this] { connection_.Close(); });
    }

    Connection connection_;
    Command command_;
};

TEST_P(OpenRecordSetTest, OpensEachBatchInPlaceOfThePreviousResult) {
    RecordingPresenter presenter;
    Recordset rs;
    ASSERT_TRUE(OpenRecordSet(connection_, command_, QStringLiteral("SELECT 'first' AS word\r"), rs,
                              false));
    EXPECT_EQ(rs.Value(0), QStringLiteral("first"));
    EXPECT_EQ(rs.CursorLocation(), 3);
    EXPECT_EQ(rs.CursorType(), 1);
    EXPECT_EQ(rs.LockType(), 3);
    ASSERT_TRUE(OpenRecordSet(connection_, command_,
                              QStringLiteral("SELECT 'second' AS word, 2 AS n\r"), rs, false));
    EXPECT_EQ(rs.FieldCount(), 2);
    EXPECT_EQ(rs.Value(0), QStringLiteral("second"));
    EXPECT_EQ(command_.ActiveConnection(), &connection_);
    EXPECT_EQ(command_.CommandText(), QStringLiteral("SELECT 'second' AS word, 2 AS n\r"));
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_P(OpenRecordSetTest, EmptyBatchSendsNothingAndLeavesTheResultClosed) {
    Recordset rs;
    ASSERT_TRUE(OpenRecordSet(connection_, command_, QStringLiteral("SELECT 1 AS one"), rs, false));
    command_.setCommandText(QStringLiteral("untouched"));
    EXPECT_TRUE(OpenRecordSet(connection_, command_, QString(), rs, false));
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
    EXPECT_EQ(command_.CommandText(), QStringLiteral("untouched"));
}

TEST_P(OpenRecordSetTest, FailureIsShownOnceAndLeavesTheResultClosed) {
    RecordingPresenter presenter;
    Recordset rs;
    ASSERT_TRUE(OpenRecordSet(connection_, command_, QStringLiteral("SELECT 1 AS one"), rs, false));
    EXPECT_FALSE(OpenRecordSet(connection_, command_,
                               QStringLiteral("SELECT * FROM no_such_table_at_all"), rs, false));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes().at(0).text.contains(QLatin1String("no_such_table_at_all")));
    EXPECT_EQ(presenter.boxes().at(0).title, QStringLiteral("エラー"));
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
}

TEST_P(OpenRecordSetTest, PendingEditIsCancelledAndTheBatchRetriedWithoutABox) {
    RecordingPresenter presenter;
    Recordset rs;
    ASSERT_TRUE(
        OpenRecordSet(connection_, command_, QStringLiteral("SELECT 'old' AS word"), rs, false));
    rs.setValue(0, QStringLiteral("edited"));
    // The pending edit keeps the recordset from closing.
    CloseRecordSet(connection_, rs);
    EXPECT_EQ(rs.State(), Recordset::StateOpen);
    EXPECT_TRUE(
        OpenRecordSet(connection_, command_, QStringLiteral("SELECT 'new' AS word"), rs, false));
    EXPECT_EQ(rs.Value(0), QStringLiteral("new"));
    EXPECT_FALSE(rs.EditPending());
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_P(OpenRecordSetTest, StillOpenOnTheRetryIsShown) {
    RecordingPresenter presenter;
    Recordset rs;
    ASSERT_TRUE(
        OpenRecordSet(connection_, command_, QStringLiteral("SELECT 'old' AS word"), rs, false));
    rs.setValue(0, QStringLiteral("edited"));
    EXPECT_FALSE(
        OpenRecordSet(connection_, command_, QStringLiteral("SELECT 'new' AS word"), rs, true));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().at(0).text, MakeLayerFailure(3705).description);
    EXPECT_EQ(rs.Value(0), QStringLiteral("edited"));
}

TEST_P(OpenRecordSetTest, WithoutConnectionTheBatchFailsWithABox) {
    RecordingPresenter presenter;
    connection_.Close();
    Recordset rs;
    EXPECT_FALSE(OpenRecordSet(connection_, command_, QStringLiteral("SELECT 1"), rs, false));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().at(0).text,
              MakeLayerFailure(LayerFailureNumber::NoConnection).description);
}

TEST_P(OpenRecordSetTest, QueryTimeOutOfTheSharedCommandIsShown) {
    RecordingPresenter presenter;
    command_.setCommandTimeout(1);
    Recordset rs;
    EXPECT_FALSE(OpenRecordSet(connection_, command_, SlowQuery(5), rs, false));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(
        presenter.boxes().at(0).text.startsWith(QStringLiteral("クエリがタイムアウトしました。")));
}

TEST_P(OpenRecordSetTest, CloseRecordSetNeverFails) {
    Recordset rs;
    CloseRecordSet(connection_, rs);  // closed already
    connection_.Close();
    ASSERT_TRUE(OpenRecordSet(connection_, command_, QString(), rs, false));
    CloseRecordSet(connection_, rs);  // no connection either
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
}

TESSORY_ALL_DRIVERS(OpenRecordSetTest);

}  // namespace
