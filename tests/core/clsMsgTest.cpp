#include <gtest/gtest.h>

#include "core/clsMsg.h"
#include "core/failure.h"
#include "tests/support/recordingPresenter.h"

namespace {

TEST(ClsMsg, EachKindHasItsTitleAndStyle) {
    RecordingPresenter presenter;
    clsMsg msg;
    msg.ShowError(QStringLiteral("e.\n"));
    msg.ShowMessage(QStringLiteral("データベースに接続されていません。"));
    msg.ShowInformation(QString());
    presenter.queueAnswer(MessageResult::Yes);
    EXPECT_EQ(msg.ShowQuestion(QStringLiteral("q")), 6);
    EXPECT_EQ(msg.ShowQuestion(QStringLiteral("q")), 7);  // the default button is No

    const QList<RecordedBox> &boxes = presenter.boxes();
    ASSERT_EQ(boxes.size(), 5);
    EXPECT_EQ(boxes[0].text, QStringLiteral("e.\n"));  // passed unchanged
    EXPECT_EQ(boxes[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(boxes[0].style, 16);
    EXPECT_EQ(boxes[1].title, QStringLiteral("警告"));
    EXPECT_EQ(boxes[1].style, 48);
    EXPECT_EQ(boxes[2].title, QStringLiteral("情報"));
    EXPECT_EQ(boxes[2].style, 64);
    EXPECT_EQ(boxes[3].title, QStringLiteral("質問"));
    EXPECT_EQ(boxes[3].style, 292);
}

TEST(ClsMsg, SetPresenterReturnsThePreviousOne) {
    RecordingPresenter outer;
    {
        RecordingPresenter inner;
        EXPECT_EQ(clsMsg::presenter(), &inner);
    }
    EXPECT_EQ(clsMsg::presenter(), &outer);
}

TEST(ClsMsg, KeywordEngineBoxShowsNumberColonDescription) {
    RecordingPresenter presenter;
    ShowKeywordEngineError(Failure{53, QStringLiteral("ファイルが見つかりません。")});
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].text, QStringLiteral("53:ファイルが見つかりません。"));
    EXPECT_EQ(presenter.boxes()[0].title, QStringLiteral("Tessory"));
    EXPECT_EQ(presenter.boxes()[0].style, 16);
}

TEST(FailureHandlers, ReportIgnoreAndPass) {
    RecordingPresenter presenter;
    EXPECT_FALSE(ReportFailure([] { throw Failure{3705, QStringLiteral("open")}; }));
    EXPECT_TRUE(ReportFailure([] {}));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].text, QStringLiteral("open"));

    int steps = 0;
    IgnoreFailure([&] {
        ++steps;
        throw MakeFailure(FailureNumber::Overflow);
    });
    IgnoreFailure([&] { ++steps; });
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(presenter.boxes().size(), 1);  // ignored failures show nothing
}

}  // namespace
