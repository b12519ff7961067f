#pragma once

class QDialog;
class QFrame;
class QPushButton;

// The OK and Cancel buttons of a dialog, side by side at the right of a borderless frame
// "fraBtn": "OK" (cmdOK) is the default button, "キャンセル" (cmdCancel) rejects the dialog.
struct DialogButtons {
    QFrame *fraBtn;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};

DialogButtons MakeDialogButtons(QDialog *dialog);
