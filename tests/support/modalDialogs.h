#pragma once

#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

class QFileDialog;

// Answering modal dialogs from the event loop, as a user would, while the command that shows
// them waits in its own loop.

// Hands the next modal dialog to `answer` from a zero-delay timer, that is once the command
// started next has shown it. Fails the test when no dialog is shown.
void AnswerNextDialog(std::function<void(QWidget *)> answer);

// Fails the test, naming `dialog`, and closes it so that the command waiting on it goes on.
void RejectUnexpectedDialog(QWidget *dialog);

// The same for a dialog of class `Dialog`; a dialog of another class fails the test and is
// closed.
template <typename Dialog>
void AnswerNextDialogOf(std::function<void(Dialog *)> answer) {
    AnswerNextDialog([answer](QWidget *dialog) {
        if (auto *typed = qobject_cast<Dialog *>(dialog)) {
            answer(typed);
        } else {
            RejectUnexpectedDialog(dialog);
        }
    });
}

// Closes `dialog` when it is still open (rejecting it), so that no test is left blocked.
void CloseIfOpen(QWidget *dialog);

// Waits until the attempt that OK started in the connection dialog `dialog` has ended (the
// dialog then has closed or is usable again); fails the test when it is no connection dialog
// or the attempt outlasts `limit`.
bool WaitForConnectAttempt(QWidget *dialog,
                           std::chrono::milliseconds limit = std::chrono::seconds(30));

// Clicks the push button named `name` in `dialog`; fails the test when there is none.
void PressButton(QWidget *dialog, const char *name);

using DialogStep = std::function<void(QWidget *)>;

// Answers the modal dialogs of one command in turn, one step per dialog shown. A dialog that
// no step is left for (one that stayed open after its OK, or one not expected at all) fails
// the test and is closed, so that no test can block. Steps left over fail the test too.
class DialogScript {
public:
    explicit DialogScript(QList<DialogStep> steps);
    ~DialogScript();
    DialogScript(const DialogScript &) = delete;
    DialogScript &operator=(const DialogScript &) = delete;

private:
    void answer();

    QList<DialogStep> steps_;
    QTimer timer_;
};

// The dialog as a file dialog; fails the test (and gives nullptr) when it is another one.
QFileDialog *AsFileDialog(QWidget *dialog);

// Picks `path` in a file dialog and presses its Open or Save button.
DialogStep ChooseFile(const QString &path);

// Rejects the dialog, as its Cancel button does.
DialogStep Cancel();
