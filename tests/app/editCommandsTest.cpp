// The main window's commands on the editor's text: Arrange, Find, Find Next, Select All, and
// the font of the editor and the grid.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/app/mainCommandsFixture.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/recordingPresenter.h"

namespace {

QString GoldenText(const char *name) {
    QFile file(TestSourceFolder() + QStringLiteral("/engines/golden/arrange-default/") +
               QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(file.readAll());
}

TEST_F(MainCommandsTest, ArrangeFormatsTheTextAndOneUndoTakesItBack) {
    window_->LoadNewDoc();
    const QString original = GoldenText("query.in.sql");
    Editor()->setText(original);
    const QString before = Editor()->Text();
    Trigger("mnuQryArrange");
    EXPECT_EQ(Editor()->Text(), GoldenText("query.out.sql"));
    QTest::keyClick(Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor()->Text(), before);
}

TEST_F(MainCommandsTest, ArrangeWithoutItsKeywordFileKeepsTheText) {
    // A keyword folder that holds the colouring's file but not the formatter's.
    const QString folder = Path("keywords");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + "/KEYWORD_COLOR.CSV",
                            folder + "/KEYWORD_COLOR.CSV"));
    window_->setKeywordFolder(folder);
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("select a from t"));
    RecordingPresenter presenter;
    Trigger("mnuQryArrange");
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.startsWith(QStringLiteral("53:")));
    EXPECT_EQ(presenter.boxes()[0].title, QStringLiteral("Tessory"));
    EXPECT_EQ(presenter.boxes()[0].style, 16);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("select a from t"));
}

// ---- Find, Find Next, Select All ----

// "select" at 0, "Select" at 18 and "SELECT" at 38, across CR LF line breaks.
const QString kFindText = QStringLiteral("select a\r\nfrom t\r\nSelect b\r\nwhere x = SELECT");

DialogStep SearchFor(const QString &word, bool matchCase) {
    return [word, matchCase](QWidget *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmSearch"));
        auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtWord"));
        auto *check = dialog->findChild<QCheckBox *>(QStringLiteral("chkUpperConv"));
        ASSERT_TRUE(box && check);
        box->setText(word);
        check->setChecked(matchCase);
        PressButton(dialog, "cmdOK");
    };
}

struct Selection {
    int start;
    int length;
    bool operator==(const Selection &) const = default;
};

void PrintTo(const Selection &selection, std::ostream *out) {
    *out << "(" << selection.start << ", " << selection.length << ")";
}

TEST_F(MainCommandsTest, FindIgnoringCaseStepsThroughTheTextWithoutWrapping) {
    window_->LoadNewDoc();
    Editor()->setText(kFindText);
    const auto selection = [this] {
        return Selection{Editor()->SelStart(), Editor()->SelLength()};
    };
    Editor()->setSelStart(1);  // just after the first occurrence
    {
        DialogScript script({SearchFor(QStringLiteral("select"), false)});
        Trigger("mnuEditSearch");
    }
    EXPECT_EQ(Settings::Read(Settings::SearchUpper), QStringLiteral("0"));
    EXPECT_EQ(selection(), (Selection{18, 6}));
    EXPECT_EQ(Editor()->SelText(), QStringLiteral("Select"));
    Trigger("mnuEditResearch");
    EXPECT_EQ(selection(), (Selection{38, 6}));
    Trigger("mnuEditResearch");  // no wrap-around: the last one stays selected
    EXPECT_EQ(selection(), (Selection{38, 6}));
}

TEST_F(MainCommandsTest, FindMatchingCaseSkipsOtherCasesAndCancelSearchesAgain) {
    window_->LoadNewDoc();
    Editor()->setText(kFindText);
    Editor()->setSelStart(0);
    {
        DialogScript script({SearchFor(QStringLiteral("SELECT"), true)});
        Trigger("mnuEditSearch");
    }
    EXPECT_EQ(Settings::Read(Settings::SearchUpper), QStringLiteral("1"));
    EXPECT_EQ(Editor()->SelText(), QStringLiteral("SELECT"));
    EXPECT_EQ(Editor()->SelStart(), 38);
    // Cancel keeps the word and searches from the caret: the selected occurrence again.
    {
        DialogScript script({[](QWidget *dialog) { PressButton(dialog, "cmdCancel"); }});
        Trigger("mnuEditSearch");
    }
    EXPECT_EQ(Editor()->SelStart(), 38);
    EXPECT_EQ(Editor()->SelLength(), 6);
}

TEST_F(MainCommandsTest, FindNextWithNoWordAsksAndAnEmptyWordSelectsNothing) {
    window_->LoadNewDoc();
    Editor()->setText(kFindText);
    Editor()->setSelStart(10);
    Editor()->setSelLength(4);  // "from"
    {
        DialogScript script({[](QWidget *dialog) { PressButton(dialog, "cmdCancel"); }});
        Trigger("mnuEditResearch");
    }
    EXPECT_EQ(Editor()->SelStart(), 14);
    EXPECT_EQ(Editor()->SelLength(), 0);
    EXPECT_EQ(Settings::Read(Settings::SearchUpper), QStringLiteral("0"));  // default, unwritten
}

TEST_F(MainCommandsTest, TheFoundWordIsScrolledIntoView) {
    window_->LoadNewDoc();
    QString text;
    for (int line = 0; line < 300; ++line) {
        text += QStringLiteral("line %1\r\n").arg(line);
    }
    Editor()->setText(text + QStringLiteral("target"));
    Editor()->setSelStart(0);
    {
        DialogScript script({SearchFor(QStringLiteral("target"), true)});
        Trigger("mnuEditSearch");
    }
    ASSERT_EQ(Editor()->SelText(), QStringLiteral("target"));
    EXPECT_TRUE(Editor()->viewport()->rect().contains(Editor()->cursorRect()));
}

TEST_F(MainCommandsTest, SelectAllCountsLineBreaksAsTwo) {
    window_->LoadNewDoc();
    Trigger("mnuEditAll");  // empty editor: nothing to select, no failure
    EXPECT_EQ(Editor()->SelLength(), 0);
    Editor()->setText(kFindText);
    Trigger("mnuEditAll");
    EXPECT_EQ(Editor()->SelStart(), 0);
    EXPECT_EQ(Editor()->SelLength(), kFindText.size());
    EXPECT_EQ(Editor()->SelText(), kFindText);
}

// ---- Font ----

TEST_F(MainCommandsTest, FontDialogStartsFromTheEditorAndAppliesToEditorAndGrid) {
    Settings::Write(Settings::FontName, QStringLiteral("DejaVu Sans Mono"));
    Settings::Write(Settings::FontSize, QStringLiteral("11"));
    frmSQL *other = window_->LoadNewDoc();
    frmSQL *doc = window_->LoadNewDoc();
    const QFont otherFont = other->txtQry()->font();
    {
        DialogScript script({[](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            ASSERT_NE(fonts, nullptr);
            EXPECT_EQ(fonts->currentFont().family(), QStringLiteral("DejaVu Sans Mono"));
            EXPECT_EQ(fonts->currentFont().pointSize(), 11);
            EXPECT_FALSE(fonts->currentFont().bold());
            QFont chosen(QStringLiteral("DejaVu Serif"), 14);
            chosen.setBold(true);
            chosen.setItalic(true);
            fonts->setCurrentFont(chosen);
            auto *buttons = fonts->findChild<QDialogButtonBox *>();
            ASSERT_NE(buttons, nullptr);
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        }});
        Trigger("mnuFontFont");
    }
    for (const QWidget *widget :
         {static_cast<QWidget *>(doc->txtQry()), static_cast<QWidget *>(doc->grdQry())}) {
        EXPECT_EQ(widget->font().family(), QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(widget->font().pointSize(), 14);
        EXPECT_TRUE(widget->font().bold());
        EXPECT_TRUE(widget->font().italic());
    }
    EXPECT_EQ(other->txtQry()->font(), otherFont);
    EXPECT_EQ(Settings::Read(Settings::FontName), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(Settings::Read(Settings::FontSize), QStringLiteral("14"));
    EXPECT_EQ(Settings::Read(Settings::FontBold), QStringLiteral("True"));
    EXPECT_EQ(Settings::Read(Settings::FontItalic), QStringLiteral("True"));
}

TEST_F(MainCommandsTest, FontSettingsAreWrittenEvenAfterCancel) {
    Settings::Write(Settings::FontName, QStringLiteral("DejaVu Sans"));
    Settings::Write(Settings::FontSize, QStringLiteral("9"));
    frmSQL *doc = window_->LoadNewDoc();
    const QFont before = doc->txtQry()->font();
    ClearSettings();
    {
        DialogScript script({[](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            ASSERT_NE(fonts, nullptr);
            fonts->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 20));
            fonts->reject();
        }});
        Trigger("mnuFontFont");
    }
    EXPECT_EQ(doc->txtQry()->font(), before);
    EXPECT_EQ(doc->grdQry()->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(Settings::Read(Settings::FontName), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(Settings::Read(Settings::FontSize), QStringLiteral("9"));
    EXPECT_EQ(Settings::Read(Settings::FontBold), QStringLiteral("False"));
    EXPECT_EQ(Settings::Read(Settings::FontItalic), QStringLiteral("False"));
}

}  // namespace
