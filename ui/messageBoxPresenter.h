#pragma once

#include "core/clsMsg.h"

// Shows each box as a modal QMessageBox with the title, icon, buttons and default button that
// the style asks for.
class MessageBoxPresenter final : public MessagePresenter {
public:
    int show(const QString &text, const QString &title, int style) override;

private:
    static int ask(const QString &text, const QString &title, int style);
};
