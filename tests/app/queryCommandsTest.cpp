// The main window's query commands: the time-out dialog, and the table list that runs fill
// and a pick turns into a query.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/app/mainCommandsFixture.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/recordingPresenter.h"

namespace {

// ---- Time-out ----

TEST_F(MainCommandsTest, TimeoutFromTheDialogIsKeptThroughTheMainWindowsClose) {
    window_->LoadNewDoc();
    ASSERT_EQ(gCommand.CommandTimeout(), 30);
    const auto typeInto = [](const QString &keys, const char *button) {
        return [keys, button](QWidget *dialog) {
            EXPECT_EQ(dialog->objectName(), QStringLiteral("frmTimeout"));
            auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtTimeout"));
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, keys);
            PressButton(dialog, button);
        };
    };
    {
        DialogScript script({typeInto(QStringLiteral("99"), "cmdCancel")});
        Trigger("mnuQryTimeout");
    }
    EXPECT_EQ(gCommand.CommandTimeout(), 30);
    {
        DialogScript script({typeInto(QStringLiteral("0045"), "cmdOK")});
        Trigger("mnuQryTimeout");
    }
    EXPECT_EQ(gCommand.CommandTimeout(), 45);
    window_->close();
    EXPECT_EQ(Settings::Read(Settings::QueryTimeout), QStringLiteral("45"));
}

// ---- Table list ----

TEST_F(TableListCommandTest, ListShowsOnSqliteAndIsHiddenWithoutAConnection) {
    Exec(QStringLiteral("CREATE TABLE [order lines] (a)"));
    window_->SetCboTable();
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_TRUE(ListVisible());
    EXPECT_EQ(Items(), QStringList({QStringLiteral("\"order lines\"")}));
    ResetSharedState();  // closes the connection
    window_->SetCboTable();
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_FALSE(ListVisible());
}

TEST_F(TableListCommandTest, RunsThatChangeTablesFillTheListAnew) {
    window_->SetCboTable();
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    ASSERT_TRUE(Items().isEmpty());
    frmSQL *doc = window_->LoadNewDoc();
    const auto run = [&](const QString &text) {
        doc->txtQry()->setText(text);
        window_->mnuQryExec_Click();
        ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    };
    run(QStringLiteral("CREATE TABLE fresh (a)\r\nGO\r\nCREATE VIEW 受注 AS SELECT 1 AS a"));
    EXPECT_EQ(Items(), QStringList({QStringLiteral("fresh"), QStringLiteral("受注")}));
    // A run without such a word leaves the list alone.
    window_->cboTable()->addItem(QStringLiteral("typed by hand"));
    run(QStringLiteral("SELECT * FROM fresh"));
    EXPECT_EQ(Items().size(), 3);
    // A failing batch ends the run, but the batch before it has dropped a table.
    RecordingPresenter presenter;
    run(QStringLiteral("DROP TABLE fresh\r\nGO\r\nSELECT * FROM no_such_table"));
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(Items(), QStringList({QStringLiteral("受注")}));
    // Only the selection runs when there is one.
    doc->txtQry()->setText(QStringLiteral("CREATE TABLE later (a)\r\nSELECT 1"));
    doc->txtQry()->setSelStart(int(QStringLiteral("CREATE TABLE later (a)\r\n").size()));
    doc->txtQry()->setSelLength(8);
    window_->cboTable()->addItem(QStringLiteral("typed by hand"));
    window_->mnuQryExec_Click();
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_EQ(Items().size(), 2);
}

struct PickRow {
    const char *name;
    const char *table;
    const char *query;
};

void PrintTo(const PickRow &row, std::ostream *out) {
    *out << row.name;
}

class TablePick : public TableListCommandTest, public testing::WithParamInterface<PickRow> {};

TEST_P(TablePick, PickWithNoWindowOpensOneWithTheQuery) {
    const PickRow &row = GetParam();
    ASSERT_EQ(gDocCount, 0);
    QComboBox *list = window_->cboTable();
    list->clear();
    list->addItems({QStringLiteral("first"), QString::fromUtf8(row.table)});
    window_->cboTable_Click(1);
    ASSERT_EQ(gDocCount, 1);
    EXPECT_EQ(Editor()->Text(), QString::fromUtf8(row.query));
    EXPECT_EQ(Editor()->SelStart(), 0);
    EXPECT_EQ(Editor()->SelLength(), 0);

    Editor()->setText(QStringLiteral("a long\r\nquery text\r\nthat goes"));
    Editor()->setSelStart(12);
    window_->cboTable_Click(0);
    EXPECT_EQ(gDocCount, 1);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("SELECT * FROM first"));
    EXPECT_EQ(Editor()->SelStart(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TablePick,
    // The list (or the user's typing) holds each name as it stands in a query.
    testing::Values(PickRow{"regular", "Orders", "SELECT * FROM Orders"},
                    PickRow{"space", "\"order lines\"", "SELECT * FROM \"order lines\""},
                    PickRow{"qualified", "other.\"a b\"", "SELECT * FROM other.\"a b\""},
                    PickRow{"japanese", "受注", "SELECT * FROM 受注"}),
    [](const testing::TestParamInfo<PickRow> &info) { return info.param.name; });

}  // namespace
