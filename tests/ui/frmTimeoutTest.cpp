#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/modalDialogs.h"
#include "ui/frmTimeout.h"

namespace {

class TimeoutDialogTest : public testing::Test {
protected:
    void open(int timeout) {
        dialog_ = std::make_unique<frmTimeout>(timeout);
        dialog_->show();
        box_ = dialog_->findChild<QLineEdit *>("txtTimeout");
        ASSERT_NE(box_, nullptr);
    }
    void expectBox(const QString &text) {
        EXPECT_EQ(box_->text(), text);
        EXPECT_EQ(box_->cursorPosition(), text.size()) << "caret at the end";
        EXPECT_FALSE(box_->hasSelectedText());
    }

    std::unique_ptr<frmTimeout> dialog_;
    QLineEdit *box_ = nullptr;
};

TEST_F(TimeoutDialogTest, ShowsItsControlsAndTheCurrentValue) {
    open(30);
    EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("クエリ タイムアウト"));
    EXPECT_EQ(dialog_->findChild<QLabel *>("lblMsg")->text(),
              QStringLiteral("クエリ タイムアウト時間を入力"));
    EXPECT_EQ(box_->toolTip(), QStringLiteral("秒単位で指定"));
    EXPECT_FALSE(box_->testAttribute(Qt::WA_InputMethodEnabled));
    auto *ok = dialog_->findChild<QPushButton *>("cmdOK");
    auto *cancel = dialog_->findChild<QPushButton *>("cmdCancel");
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_NE(dialog_->findChild<QWidget *>("fraBtn"), nullptr);
    EXPECT_NE(dialog_->findChild<QWidget *>("imgIcon"), nullptr);
    EXPECT_EQ(dialog_->focusWidget(), box_);
    expectBox("30");
}

TEST_F(TimeoutDialogTest, TypingKeepsAWholeNumber) {
    struct Row {
        const char *name;
        int start;
        std::function<void(QLineEdit *)> keys;
        const char *expected;
    };
    const Row rows[] = {
        {"digits append", 30, [](QLineEdit *b) { QTest::keyClicks(b, "5"); }, "305"},
        {"backspace removes last digit", 30,
         [](QLineEdit *b) { QTest::keyClick(b, Qt::Key_Backspace); }, "3"},
        {"delete removes last digit", 30, [](QLineEdit *b) { QTest::keyClick(b, Qt::Key_Delete); },
         "3"},
        {"deleting everything leaves zero", 30,
         [](QLineEdit *b) {
             QTest::keyClick(b, Qt::Key_Delete);
             QTest::keyClick(b, Qt::Key_Backspace);
             QTest::keyClick(b, Qt::Key_Backspace);
         },
         "0"},
        {"digit after zero replaces it", 0, [](QLineEdit *b) { QTest::keyClicks(b, "5"); }, "5"},
        {"zero after zero stays zero", 0, [](QLineEdit *b) { QTest::keyClicks(b, "0"); }, "0"},
        {"ninth digit cannot be typed", 1234567, [](QLineEdit *b) { QTest::keyClicks(b, "89"); },
         "12345678"},
        {"letters signs point and space ignored", 30,
         [](QLineEdit *b) { QTest::keyClicks(b, "a-.+ Z"); }, "30"},
        {"full-width digits ignored", 30,
         [](QLineEdit *b) {
             QTest::sendKeyEvent(QTest::Click, b, Qt::Key_unknown, QStringLiteral("１"),
                                 Qt::NoModifier);
         },
         "30"},
        {"arrows do not move the caret", 30,
         [](QLineEdit *b) {
             QTest::keyClick(b, Qt::Key_Left);
             QTest::keyClicks(b, "1");
         },
         "301"},
        {"select-all shortcut selects nothing", 30,
         [](QLineEdit *b) {
             QTest::keyClick(b, Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(b, "1");
         },
         "301"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        open(row.start);
        row.keys(box_);
        expectBox(QString::fromLatin1(row.expected));
    }
}

TEST_F(TimeoutDialogTest, PastedTextIsStrippedToItsDigits) {
    const struct {
        const char *name;
        QKeyCombination keys;
    } ways[] = {{"Ctrl+V", Qt::ControlModifier | Qt::Key_V},
                {"Shift+Insert", Qt::ShiftModifier | Qt::Key_Insert}};
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        open(0);
        QApplication::clipboard()->setText("1a2b");
        QTest::keyClick(box_, way.keys.key(), way.keys.keyboardModifiers());
        expectBox("12");
        EXPECT_EQ(dialog_->Timeout(), 12);
    }
}

TEST_F(TimeoutDialogTest, MouseCannotPlaceTheCaretOrSelect) {
    open(12345);
    QTest::mouseClick(box_, Qt::LeftButton, {}, QPoint(3, box_->height() / 2));
    expectBox("12345");
    // QTest's double click ends on the second press; a user then lets the button go.
    QTest::mouseDClick(box_, Qt::LeftButton, {}, QPoint(3, box_->height() / 2));
    QTest::mouseRelease(box_, Qt::LeftButton, {}, QPoint(3, box_->height() / 2));
    expectBox("12345");
}

TEST(TimeoutDialog, OkHandsBackTheNewValue) {
    int timeout = 30;
    AnswerNextDialogOf<frmTimeout>([](frmTimeout *dialog) {
        auto *box = dialog->findChild<QLineEdit *>("txtTimeout");
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);  // the default button
    });
    EXPECT_TRUE(frmTimeout::ShowTimeoutDialog(timeout));
    EXPECT_EQ(timeout, 0);
}

TEST(TimeoutDialog, CancelAndEscapeChangeNothing) {
    for (const bool escape : {false, true}) {
        int timeout = 30;
        AnswerNextDialogOf<frmTimeout>([escape](frmTimeout *dialog) {
            auto *box = dialog->findChild<QLineEdit *>("txtTimeout");
            QTest::keyClicks(box, "99");
            if (escape) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                dialog->findChild<QPushButton *>("cmdCancel")->click();
            }
        });
        EXPECT_FALSE(frmTimeout::ShowTimeoutDialog(timeout)) << escape;
        EXPECT_EQ(timeout, 30) << escape;
    }
}

}  // namespace
