#include "ui/fontDialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <cmath>

#include "core/settings.h"
#include "ui/queryEditor.h"

namespace {

// The styles the editor font can hold, in Qt's own (translated) words for them.
struct StyleChoice {
    bool bold;
    bool italic;
};
constexpr StyleChoice kStyleChoices[] = {
    {false, false}, {false, true}, {true, false}, {true, true}};

QString ChoiceName(StyleChoice choice) {
    QFont font;
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    return QFontDatabase::styleString(font);
}

// Names of faces that are narrower or wider than the family's usual one.
bool IsOtherWidth(const QString &style) {
    static const char *const kWidths[] = {"Condensed", "Narrow",   "Compressed",
                                          "Expanded",  "Extended", "Wide"};
    for (const char *width : kWidths) {
        if (style.contains(QLatin1String(width), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

// The font as the dialog should show it: a face that is not installed (the default "Meiryo UI"
// on most systems) under the name of the face that the editor really draws with, so that the
// dialog opens on what the user sees rather than on the first family of its list.
QFont ShownFont(const QFont &font) {
    if (QFontDatabase::families().contains(font.family())) {
        return font;
    }
    QFont shown = font;
    shown.setFamily(QFontInfo(font).family());
    return shown;
}

// Shows each style of the list by the name of the choice it stands for.
class StyleNameDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QHash<QString, QString> names;  // the family's own style name -> the name shown

    QString displayText(const QVariant &value, const QLocale &locale) const override {
        return names.value(value.toString(), QStyledItemDelegate::displayText(value, locale));
    }
};

// Qt's own font dialog, offering what the editor font holds. Qt lists every face of a family
// under the face's own name ("Book", "Condensed Bold Oblique" ..., untranslated, and "斜体" twice
// where a family has both an italic and an oblique face); here the list holds one face for each
// of normal, italic, bold and bold italic that the family has, shown under Qt's Japanese name for
// it. The list keeps the family's own names underneath, so Qt's own handling of the lists (sizes,
// sample) goes on working. Underline and strike-out are not offered, and the sample is tall
// enough to read.
class EditorFontDialog final : public QFontDialog {
public:
    explicit EditorFontDialog(const QFont &initial, QWidget *parent) : QFontDialog(parent) {
        setObjectName(QStringLiteral("fontDialog"));
        setOption(QFontDialog::DontUseNativeDialog);
        hideEffects();
        // Qt's dialog makes its family, style and size lists, and their edit fields, in this
        // order, and names its sample.
        const QList<QListView *> lists = findChildren<QListView *>(Qt::FindDirectChildrenOnly);
        const QList<QLineEdit *> edits = findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
        styleList_ = lists.value(1);
        styleEdit_ = edits.value(1);
        sample_ = findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"));
        styles_ = styleList_ ? qobject_cast<QStringListModel *>(styleList_->model()) : nullptr;
        if (styles_ && styleEdit_) {
            names_ = new StyleNameDelegate(styleList_);
            styleList_->setItemDelegate(names_);
            connect(styles_, &QAbstractItemModel::modelReset, this,
                    &EditorFontDialog::offerEditorStyles);
            connect(styleEdit_, &QLineEdit::textChanged, this, &EditorFontDialog::showStyleName);
        }
        if (sample_) {
            sample_->setText(QStringLiteral("AaBbYyZz あア亜"));
            sample_->setMinimumHeight(
                std::max(QFontMetrics(initial).height(), fontMetrics().height()) * 2);
        }
        setCurrentFont(ShownFont(initial));
        selectStyle(initial.bold(), initial.italic());
    }

private:
    void hideEffects() {
        for (QGroupBox *group : findChildren<QGroupBox *>()) {
            if (!group->findChildren<QCheckBox *>().isEmpty()) {
                group->hide();
            }
        }
    }

    // Runs whenever Qt has filled the style list for a family, before it selects a row.
    void offerEditorStyles() {
        const QStringList faces = styles_->stringList();
        const QString family = familyOf();
        QStringList kept;
        QHash<QString, QString> names;
        for (const StyleChoice choice : kStyleChoices) {
            QString best;
            int bestScore = 0;
            for (const QString &face : faces) {
                const QFont font = QFontDatabase::font(family, face, 12);
                const bool bold = font.weight() >= QFont::DemiBold;
                if (bold != choice.bold || font.italic() != choice.italic) {
                    continue;
                }
                const int target = choice.bold ? QFont::Bold : QFont::Normal;
                const int score =
                    std::abs(int(font.weight()) - target) + (IsOtherWidth(face) ? 10000 : 0);
                if (best.isNull() || score < bestScore) {
                    best = face;
                    bestScore = score;
                }
            }
            if (!best.isNull() && !kept.contains(best)) {
                kept.append(best);
                names.insert(best, ChoiceName(choice));
            }
        }
        if (kept.isEmpty() || !names_) {
            return;  // nothing recognisable: leave Qt's list as it is
        }
        names_->names = names;
        // Rewritten in place: a second reset inside this one is not something to rely on.
        if (styles_->rowCount() > kept.size()) {
            styles_->removeRows(int(kept.size()), styles_->rowCount() - int(kept.size()));
        } else if (styles_->rowCount() < kept.size()) {
            styles_->insertRows(styles_->rowCount(), int(kept.size()) - styles_->rowCount());
        }
        for (int row = 0; row < kept.size(); ++row) {
            styles_->setData(styles_->index(row), kept[row]);
        }
    }

    // The family the style list belongs to, as Qt's family field shows it.
    QString familyOf() const {
        const QList<QLineEdit *> edits = findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
        return edits.isEmpty() ? QString() : edits.first()->text();
    }

    // Qt writes a face's own name into the style field; show the chosen name instead.
    void showStyleName(const QString &text) {
        const QString shown = names_->names.value(text, text);
        if (shown != text) {
            styleEdit_->setText(shown);
        }
    }

    // Selects the face that gives `bold` and `italic`, when the family has one.
    void selectStyle(bool bold, bool italic) {
        if (!names_) {
            return;
        }
        const QString wanted = ChoiceName(StyleChoice{bold, italic});
        for (int row = 0; row < styles_->rowCount(); ++row) {
            if (names_->names.value(styles_->index(row).data().toString()) == wanted) {
                styleList_->setCurrentIndex(styles_->index(row));
                return;
            }
        }
    }

    QListView *styleList_ = nullptr;
    QLineEdit *styleEdit_ = nullptr;
    QLineEdit *sample_ = nullptr;
    QStringListModel *styles_ = nullptr;
    StyleNameDelegate *names_ = nullptr;
};

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
    EditorFontDialog dialog(editor->font(), parent);
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
