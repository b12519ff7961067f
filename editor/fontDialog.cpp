#include "editor/fontDialog.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QTableView>

#include "app/settings.h"
#include "editor/queryEditor.h"

namespace {

// The editor font knows face, size, bold and italic only: the dialog's effects (underline,
// strike-out) have no place here.
void HideEffects(QFontDialog &dialog) {
    for (QGroupBox *group : dialog.findChildren<QGroupBox *>()) {
        if (!group->findChildren<QCheckBox *>().isEmpty()) {
            group->hide();
        }
    }
}

void ApplyFont(QWidget *widget, const QFont &chosen) {
    QFont font = widget->font();
    font.setPointSizeF(chosen.pointSizeF());
    font.setFamily(chosen.family());
    font.setBold(chosen.bold());
    font.setItalic(chosen.italic());
    widget->setFont(font);
}

}  // namespace

bool ShowFontDialog(QWidget *parent, QueryEditor *editor, QTableView *grid) {
    QFontDialog dialog(editor->font(), parent);
    dialog.setObjectName(QStringLiteral("fontDialog"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    HideEffects(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    if (parent) {
        parent->window()->repaint();
    }
    const QFont chosen = dialog.selectedFont();
    ApplyFont(editor, chosen);
    if (grid) {
        ApplyFont(grid, chosen);
    }
    return true;
}

void StoreEditorFont(const QueryEditor *editor) {
    const QFont font = editor->font();
    Settings::Write(Settings::FontSize, QString::number(font.pointSizeF()));
    Settings::Write(Settings::FontName, font.family());
    Settings::Write(Settings::FontBold, BoolToText(font.bold()));
    Settings::Write(Settings::FontItalic, BoolToText(font.italic()));
}
