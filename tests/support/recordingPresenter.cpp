#include "tests/support/recordingPresenter.h"

#include <gtest/gtest.h>

RecordingPresenter::RecordingPresenter() : previous_(clsMsg::setPresenter(this)) {}

RecordingPresenter::~RecordingPresenter() {
    clsMsg::setPresenter(previous_);
}

int RecordingPresenter::show(const QString &text, const QString &title, int style) {
    boxes_.append({text, title, style});
    if (style == MessageStyle::YesNoQuestionDefaultNo) {
        return answers_.isEmpty() ? MessageResult::No : answers_.takeFirst();
    }
    return MessageResult::Ok;
}

int UnexpectedBoxPresenter::show(const QString &text, const QString &title, int style) {
    ADD_FAILURE() << "unexpected message box [" << title.toStdString() << "] "
                  << text.toStdString();
    return style == MessageStyle::YesNoQuestionDefaultNo ? MessageResult::No : MessageResult::Ok;
}
