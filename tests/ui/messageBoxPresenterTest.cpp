#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/clsMsg.h"
#include "tests/support/modalDialogs.h"
#include "ui/messageBoxPresenter.h"

namespace {

struct BoxRow {
    const char *name;
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    int enterAnswer;  // what pressing Enter at once returns
};

class MessageBoxPresenterTest : public testing::TestWithParam<BoxRow> {};

TEST_P(MessageBoxPresenterTest, ShowsTheStyleAndAnswersWithEnter) {
    const BoxRow &row = GetParam();
    MessageBoxPresenter presenter;
    MessagePresenter *previous = clsMsg::setPresenter(&presenter);
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));  // a busy command
    bool seen = false;
    AnswerNextDialogOf<QMessageBox>([&](QMessageBox *box) {
        seen = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("タイトル"));
        EXPECT_EQ(box->text(), QStringLiteral("一行目\n二行目"));
        EXPECT_EQ(box->icon(), row.icon);
        EXPECT_EQ(box->standardButtons(), row.buttons);
        EXPECT_EQ(box->defaultButton(), box->button(row.defaultButton));
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(
        presenter.show(QStringLiteral("一行目\n二行目"), QStringLiteral("タイトル"), row.style),
        row.enterAnswer);
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    clsMsg::setPresenter(previous);
}

// Where no window manager hands the keys back, the window behind a closed box would stay
// inactive and its shortcuts dead until a click; the presenter activates it again.
TEST(MessageBoxPresenterFocusTest, TheWindowBehindTheBoxIsActiveAgainAfterIt) {
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    MessageBoxPresenter presenter;
    AnswerNextDialog([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
    presenter.show(QStringLiteral("本文"), QStringLiteral("タイトル"), 16);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::activeWindow(), &window);
}

const BoxRow kRows[] = {
    {"error", 16, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, 1},
    {"warning", 48, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, 1},
    {"information", 64, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, 1},
    {"question_defaults_to_no", 292, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
     QMessageBox::No, 7},
};

INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxPresenterTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
