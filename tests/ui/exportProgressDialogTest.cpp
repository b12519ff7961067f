#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/exportProgressDialog.h"

namespace {

struct Controls {
    QLabel *message, *rows;
    QProgressBar *bar;
    QPushButton *cancel;
};

Controls Find(const ExportProgressDialog &dialog) {
    return {dialog.findChild<QLabel *>("lblMsg"), dialog.findChild<QLabel *>("lblRows"),
            dialog.findChild<QProgressBar *>("barRows"),
            dialog.findChild<QPushButton *>("cmdCancel")};
}

TEST(ExportProgressDialogTest, ShowsTheRowsWrittenAndTheShareOfTheTotal) {
    ExportProgressDialog dialog(8000);
    dialog.show();
    const Controls controls = Find(dialog);
    ASSERT_TRUE(controls.message && controls.rows && controls.bar && controls.cancel);
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(controls.message->text(), QStringLiteral("Excel へ出力しています…"));
    EXPECT_EQ(controls.cancel->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(controls.rows->text(), QStringLiteral("0 行を出力しました"));

    const struct {
        std::int64_t rows;
        const char *text;
        int bar;  // of 1000
    } steps[] = {
        {2000, "2,000 行を出力しました", 250},
        {8000, "8,000 行を出力しました", 1000},
        {9000, "9,000 行を出力しました", 1000},  // more than announced: the bar stays full
    };
    for (const auto &step : steps) {
        dialog.SetRowsWritten(step.rows);
        EXPECT_EQ(controls.rows->text(), QString::fromUtf8(step.text));
        EXPECT_EQ(controls.bar->value() * 1000 / controls.bar->maximum(), step.bar);
    }
}

TEST(ExportProgressDialogTest, AnUnknownTotalShowsABusyBarAndLargeCountsFit) {
    ExportProgressDialog dialog;
    const Controls controls = Find(dialog);
    EXPECT_EQ(controls.bar->maximum(), 0);  // busy
    dialog.SetRowsWritten(3'000'000'000LL);
    EXPECT_EQ(controls.rows->text(), QStringLiteral("3,000,000,000 行を出力しました"));
}

TEST(ExportProgressDialogTest, CancelAsksOnceAndTheDialogStaysUntilTheOwnerClosesIt) {
    struct Case {
        const char *name;
        void (*ask)(ExportProgressDialog &);
    };
    const Case cases[] = {
        {"button",
         [](ExportProgressDialog &d) { QTest::mouseClick(Find(d).cancel, Qt::LeftButton); }},
        {"Escape", [](ExportProgressDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close button", [](ExportProgressDialog &d) { d.close(); }},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        ExportProgressDialog dialog(100);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy cancelled(&dialog, &ExportProgressDialog::cancelRequested);
        dialog.SetRowsWritten(40);
        test.ask(dialog);
        test.ask(dialog);  // a second request changes nothing
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_TRUE(dialog.CancelRequested());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(Find(dialog).cancel->isEnabled());
        dialog.SetRowsWritten(50);  // rows written before the export saw the cancel
        EXPECT_EQ(Find(dialog).rows->text(),
                  QStringLiteral("50 行を出力しました (キャンセルしています…)"));
        dialog.accept();
        EXPECT_FALSE(dialog.isVisible());
    }
}

}  // namespace
