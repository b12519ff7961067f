#pragma once

#include <QList>
#include <QString>

#include "core/clsMsg.h"

// One box as the program asked for it.
struct RecordedBox {
    QString text;
    QString title;
    int style = 0;
};

// Records every box instead of showing it, and answers questions from a queue (No when the
// queue is empty, as the default button would). Installs itself for its lifetime.
class RecordingPresenter final : public MessagePresenter {
public:
    RecordingPresenter();
    ~RecordingPresenter() override;
    RecordingPresenter(const RecordingPresenter &) = delete;
    RecordingPresenter &operator=(const RecordingPresenter &) = delete;

    int show(const QString &text, const QString &title, int style) override;

    void queueAnswer(int answer) { answers_.append(answer); }
    const QList<RecordedBox> &boxes() const { return boxes_; }
    void clear() { boxes_.clear(); }

private:
    MessagePresenter *previous_;
    QList<RecordedBox> boxes_;
    QList<int> answers_;
};

// Installed by the test mains: any box that no test expected fails the running test.
class UnexpectedBoxPresenter final : public MessagePresenter {
public:
    int show(const QString &text, const QString &title, int style) override;
};
