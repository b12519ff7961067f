#include "core/clsMsg.h"

#include <cstdio>

#include "core/failure.h"
#include "core/settings.h"

MessagePresenter::~MessagePresenter() = default;

namespace {

// Writes each box to standard error when no presenter is installed (a program without
// windows, or a test that did not expect a box).
class StandardErrorPresenter final : public MessagePresenter {
public:
    int show(const QString &text, const QString &title, int style) override {
        std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(title), qUtf8Printable(text));
        return style == MessageStyle::YesNoQuestionDefaultNo ? MessageResult::No
                                                             : MessageResult::Ok;
    }
};

StandardErrorPresenter gStandardErrorPresenter;
MessagePresenter *gPresenter = &gStandardErrorPresenter;

int Present(const QString &text, const QString &title, int style) {
    return gPresenter->show(text, title, style);
}

}  // namespace

void clsMsg::ShowError(const QString &text) const {
    Present(text, QStringLiteral("エラー"), MessageStyle::Critical);
}

void clsMsg::ShowMessage(const QString &text) const {
    Present(text, QStringLiteral("警告"), MessageStyle::Exclamation);
}

void clsMsg::ShowInformation(const QString &text) const {
    Present(text, QStringLiteral("情報"), MessageStyle::Information);
}

short clsMsg::ShowQuestion(const QString &text) const {
    return static_cast<short>(
        Present(text, QStringLiteral("質問"), MessageStyle::YesNoQuestionDefaultNo));
}

MessagePresenter *clsMsg::setPresenter(MessagePresenter *presenter) {
    MessagePresenter *previous = gPresenter == &gStandardErrorPresenter ? nullptr : gPresenter;
    gPresenter = presenter ? presenter : &gStandardErrorPresenter;
    return previous;
}

MessagePresenter *clsMsg::presenter() {
    return gPresenter == &gStandardErrorPresenter ? nullptr : gPresenter;
}

void ShowKeywordEngineError(const Failure &failure) {
    Present(QString::number(failure.number) + QLatin1Char(':') + failure.description,
            QString::fromLatin1(kAppTitle), MessageStyle::Critical);
}

void ShowFailure(const Failure &failure) {
    clsMsg().ShowError(failure.description);
}
