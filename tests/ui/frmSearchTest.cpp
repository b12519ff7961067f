#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSearch.h"

namespace {

class SearchDialogTest : public testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { SetUp(); }
};

template <typename T>
T *Child(QWidget *dialog, const char *name) {
    T *child = dialog->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST_F(SearchDialogTest, ShowsItsControlsWithTheWordAndTheFocusOnIt) {
    frmSearch dialog(QStringLiteral("FROM"));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("検索"));
    EXPECT_EQ(Child<QLabel>(&dialog, "lblMsg")->text(), QStringLiteral("文字列を検索"));
    auto *label = Child<QLabel>(&dialog, "lblSearch");
    auto *word = Child<QLineEdit>(&dialog, "txtWord");
    auto *check = Child<QCheckBox>(&dialog, "chkUpperConv");
    EXPECT_EQ(label->text(), QStringLiteral("検索(&N)："));
    EXPECT_EQ(label->buddy(), word);
    EXPECT_EQ(check->text(), QStringLiteral("大文字小文字を区別(&C)"));
    EXPECT_EQ(Child<QPushButton>(&dialog, "cmdOK")->text(), "OK");
    EXPECT_TRUE(Child<QPushButton>(&dialog, "cmdOK")->isDefault());
    EXPECT_EQ(Child<QPushButton>(&dialog, "cmdCancel")->text(), QStringLiteral("キャンセル"));
    Child<QWidget>(&dialog, "fraBtn");
    Child<QWidget>(&dialog, "imgIcon");
    EXPECT_EQ(word->text(), "FROM");
    EXPECT_EQ(dialog.focusWidget(), word);
    EXPECT_EQ(word->nextInFocusChain(), check);
}

TEST_F(SearchDialogTest, CheckBoxFollowsTheStoredOption) {
    struct Row {
        const char *name;
        const char *stored;  // nullptr: absent
        bool checked;
    };
    const Row rows[] = {{"absent", nullptr, false},
                        {"one", "1", true},
                        {"zero", "0", false},
                        {"not a number", "abc", false}};
    for (const Row &row : rows) {
        ClearSettings();
        if (row.stored) {
            Settings::Write(Settings::SearchUpper, QString::fromLatin1(row.stored));
        }
        frmSearch dialog(QString{});
        EXPECT_EQ(Child<QCheckBox>(&dialog, "chkUpperConv")->isChecked(), row.checked) << row.name;
        EXPECT_EQ(dialog.SearchIgnoreCase(), !row.checked) << row.name;
    }
}

TEST_F(SearchDialogTest, OkHandsBackWordAndFlagAndStoresTheOption) {
    struct Row {
        const char *name;
        bool check;
        const char *stored;
        bool ignoreCase;
    };
    for (const Row &row : {Row{"checked: match case", true, "1", false},
                           Row{"unchecked: ignore case", false, "0", true}}) {
        Settings::Write(Settings::SearchUpper, row.check ? "0" : "1");
        AnswerNextDialogOf<frmSearch>([&row](QWidget *dialog) {
            auto *box = Child<QLineEdit>(dialog, "txtWord");
            EXPECT_EQ(box->text(), "old") << "opens on the word it is given";
            box->clear();
            QTest::keyClicks(box, "select");
            Child<QCheckBox>(dialog, "chkUpperConv")->setChecked(row.check);
            QTest::keyClick(box, Qt::Key_Return);
        });
        const std::optional<SearchChoice> choice = frmSearch::ShowSearchDialog("old");
        ASSERT_TRUE(choice) << row.name;
        EXPECT_EQ(choice->word, "select") << row.name;
        EXPECT_EQ(choice->ignoreCase, row.ignoreCase) << row.name;
        EXPECT_EQ(Settings::Read(Settings::SearchUpper), row.stored) << row.name;
    }
}

TEST_F(SearchDialogTest, OkWithAnEmptyWordIsAllowed) {
    AnswerNextDialogOf<frmSearch>([](QWidget *dialog) {
        Child<QLineEdit>(dialog, "txtWord")->clear();
        Child<QPushButton>(dialog, "cmdOK")->click();
    });
    const std::optional<SearchChoice> choice = frmSearch::ShowSearchDialog("old");
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->word.isEmpty());
    EXPECT_TRUE(choice->ignoreCase);
}

TEST_F(SearchDialogTest, CancelAndEscapeChangeNothing) {
    for (const bool escape : {false, true}) {
        AnswerNextDialogOf<frmSearch>([escape](QWidget *dialog) {
            auto *box = Child<QLineEdit>(dialog, "txtWord");
            QTest::keyClicks(box, "other");
            Child<QCheckBox>(dialog, "chkUpperConv")->setChecked(true);
            if (escape) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                Child<QPushButton>(dialog, "cmdCancel")->click();
            }
        });
        EXPECT_FALSE(frmSearch::ShowSearchDialog("keep")) << escape;
        EXPECT_EQ(Settings::Read(Settings::SearchUpper), "0") << "nothing stored";
    }
}

}  // namespace
