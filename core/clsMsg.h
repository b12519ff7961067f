#pragma once

#include <QString>

struct Failure;

// Shows one message box and returns the button pressed (6 Yes, 7 No, 1 OK). The program
// installs a presenter that shows modal QMessageBoxes; tests install a recorder.
class MessagePresenter {
public:
    virtual ~MessagePresenter();
    virtual int show(const QString &text, const QString &title, int style) = 0;
};

// Box styles: icon and buttons, as sums of the classic message-box flags.
namespace MessageStyle {
inline constexpr int Critical = 16;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int YesNoQuestionDefaultNo = 292;
}  // namespace MessageStyle

// Button codes that a presenter returns.
namespace MessageResult {
inline constexpr int Ok = 1;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace MessageResult

// The four kinds of message the program shows. Callers pass only the text; the title, icon and
// buttons are fixed here. Instances hold no state and are interchangeable.
class clsMsg {
public:
    void ShowError(const QString &text) const;
    void ShowMessage(const QString &text) const;
    void ShowInformation(const QString &text) const;
    short ShowQuestion(const QString &text) const;

    // Installs the presenter behind every box and returns the previous one. With none
    // installed, boxes are written to standard error.
    static MessagePresenter *setPresenter(MessagePresenter *presenter);
    static MessagePresenter *presenter();
};

// The keyword engines' own box: "<number>:<description>" under the application title.
void ShowKeywordEngineError(const Failure &failure);
