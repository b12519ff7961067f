// The font dialog of Format > Font, shown in Japanese as the program shows it.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

#include <functional>

#include "tests/support/modalDialogs.h"
#include "ui/fontDialog.h"
#include "ui/japaneseQt.h"
#include "ui/queryEditor.h"

namespace {

const QStringList kStyleNames = {QStringLiteral("標準"), QStringLiteral("斜体"),
                                 QStringLiteral("太字"), QStringLiteral("太字 斜体")};

// Runs ShowFontDialog on `editor` and hands the dialog to `step` once it is shown.
bool RunDialog(QueryEditor &editor, QTableView *grid, std::function<void(QWidget *)> step) {
    bool answered = false;
    AnswerNextDialog([&](QWidget *dialog) {
        answered = true;
        step(dialog);
        CloseIfOpen(dialog);
    });
    const bool chosen = ShowFontDialog(nullptr, &editor, grid);
    EXPECT_TRUE(answered);
    return chosen;
}

// The dialog's family, style and size lists and fields, as Qt lays them out.
struct FontDialogParts {
    explicit FontDialogParts(QWidget *dialog) {
        const QList<QListView *> lists =
            dialog->findChildren<QListView *>(Qt::FindDirectChildrenOnly);
        const QList<QLineEdit *> edits =
            dialog->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
        families = lists.value(0);
        styles = lists.value(1);
        sizes = lists.value(2);
        styleEdit = edits.value(1);
        sample = dialog->findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"));
    }
    bool complete() const { return families && styles && sizes && styleEdit && sample; }

    bool selectFamily(const QString &family) const {
        for (int row = 0; row < families->model()->rowCount(); ++row) {
            const QModelIndex index = families->model()->index(row, 0);
            if (index.data().toString() == family) {
                families->setCurrentIndex(index);
                return true;
            }
        }
        return false;
    }
    // The style names as the list draws them.
    QStringList shownStyles() const {
        QStringList shown;
        auto *delegate = qobject_cast<QStyledItemDelegate *>(styles->itemDelegate());
        for (int row = 0; row < styles->model()->rowCount(); ++row) {
            const QVariant value = styles->model()->index(row, 0).data();
            shown.append(delegate ? delegate->displayText(value, QLocale()) : value.toString());
        }
        return shown;
    }
    QString currentStyle() const {
        const int row = styles->currentIndex().row();
        const QStringList shown = shownStyles();
        return row >= 0 && row < shown.size() ? shown[row] : QString();
    }

    QListView *families = nullptr;
    QListView *styles = nullptr;
    QListView *sizes = nullptr;
    QLineEdit *styleEdit = nullptr;
    QLineEdit *sample = nullptr;
};

class FontDialogTest : public testing::Test {
protected:
    JapaneseQt japanese_{*QCoreApplication::instance()};
    QueryEditor editor_;
    QTableView grid_;
};

TEST_F(FontDialogTest, StylesAreOfferedOnceEachUnderTheirJapaneseNames) {
    ASSERT_TRUE(japanese_.QtTranslationLoaded());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(11);
    font.setBold(true);
    editor_.setFont(font);
    const bool chosen = RunDialog(editor_, &grid_, [](QWidget *dialog) {
        FontDialogParts parts(dialog);
        ASSERT_TRUE(parts.complete());
        // It opens on the editor's style.
        EXPECT_EQ(parts.currentStyle().toStdString(), "太字");
        EXPECT_EQ(parts.styleEdit->text().toStdString(), "太字");

        const char *const families[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono",
                                        "Noto Sans CJK JP", "Sans Serif"};
        for (const char *family : families) {
            SCOPED_TRACE(family);
            if (!parts.selectFamily(QString::fromLatin1(family))) {
                continue;  // not installed here
            }
            const QStringList shown = parts.shownStyles();
            EXPECT_FALSE(shown.isEmpty());
            EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()).size(), shown.size())
                << shown.join(QLatin1Char('|')).toStdString();
            for (const QString &name : shown) {
                EXPECT_TRUE(kStyleNames.contains(name)) << name.toStdString();
            }
            EXPECT_TRUE(kStyleNames.contains(parts.styleEdit->text()))
                << parts.styleEdit->text().toStdString();
            EXPECT_GT(parts.sizes->model()->rowCount(), 0) << "the size list went empty";
        }

        // A family that has all four faces offers all four; the choice reaches the editor.
        ASSERT_TRUE(parts.selectFamily(QStringLiteral("DejaVu Serif")));
        EXPECT_EQ(parts.shownStyles(), kStyleNames);
        parts.styles->setCurrentIndex(parts.styles->model()->index(3, 0));
        EXPECT_EQ(parts.styleEdit->text(), QStringLiteral("太字 斜体"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        ASSERT_NE(buttons, nullptr);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    EXPECT_TRUE(chosen);
    for (const QFont &result : {editor_.font(), grid_.font()}) {
        EXPECT_EQ(result.family(), QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(result.pointSize(), 11);
        EXPECT_TRUE(result.bold());
        EXPECT_TRUE(result.italic());
    }
}

TEST_F(FontDialogTest, AFaceThatIsNotInstalledOpensOnTheFaceTheEditorShows) {
    QFont font(QStringLiteral("Meiryo UI"));  // the default face, missing here
    font.setPointSize(12);
    editor_.setFont(font);
    ASSERT_FALSE(QFontDatabase::families().contains(font.family()));
    const QString drawnWith = QFontInfo(editor_.font()).family();
    RunDialog(editor_, nullptr, [&](QWidget *dialog) {
        FontDialogParts parts(dialog);
        ASSERT_TRUE(parts.complete());
        EXPECT_EQ(parts.families->currentIndex().data().toString().toStdString(),
                  drawnWith.toStdString());
        EXPECT_EQ(qobject_cast<QFontDialog *>(dialog)->currentFont().pointSize(), 12);
    });
}

TEST_F(FontDialogTest, TheSampleIsTallEnoughToRead) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    editor_.setFont(font);
    RunDialog(editor_, nullptr, [](QWidget *dialog) {
        FontDialogParts parts(dialog);
        ASSERT_TRUE(parts.complete());
        EXPECT_TRUE(parts.sample->isVisible());
        const int line = QFontMetrics(parts.sample->font()).height();
        EXPECT_GE(parts.sample->height(), line + 4)
            << "sample " << parts.sample->height() << " px for a line of " << line << " px";
    });
}

}  // namespace
