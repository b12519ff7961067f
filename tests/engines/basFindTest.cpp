#include <gtest/gtest.h>

#include "engines/basFind.h"

void PrintTo(const TextSelection &selection, std::ostream *out) {
    *out << "{start " << selection.start << ", length " << selection.length << "}";
}

namespace {

using Found = std::optional<TextSelection>;

TEST(FindInEditor, FindsForwardFromTheStartWithoutWrapping) {
    const QString sql = QStringLiteral("SELECT a\r\nFROM t\r\nWHERE a = 'Select'\r\n");
    struct Row {
        const char *name;
        QString text;
        int start;
        QString word;
        bool ignoreCase;
        Found expected;
    };
    const Row rows[] = {
        {"first occurrence", "abc abc", 1, "abc", false, TextSelection{0, 3}},
        {"starts at the start position itself", "abc abc", 5, "abc", false, TextSelection{4, 3}},
        {"only before the start: no wrap", "abc abc", 6, "abc", false, std::nullopt},
        {"not in the text", "abc", 1, "x", false, std::nullopt},
        {"overlap is skipped", "aaa", 3, "aa", false, std::nullopt},
        {"offsets count CR LF as two", sql, 1, "FROM", false, TextSelection{10, 4}},
        {"third line", sql, 1, "WHERE", false, TextSelection{18, 5}},
        {"case kept: only exact", sql, 1, "Select", false, TextSelection{29, 6}},
        {"case ignored: first of any case", sql, 1, "select", true, TextSelection{0, 6}},
        {"case ignored after the first", sql, 2, "select", true, TextSelection{29, 6}},
        {"case kept: lower case nowhere", sql, 1, "select", false, std::nullopt},
        {"Japanese text", QStringLiteral("表 テーブル 表"), 2, QStringLiteral("表"), true,
         TextSelection{7, 1}},
        {"full-width letters fold too", QStringLiteral("ａｂ ＡＢ"), 2, QStringLiteral("ＡＢ"),
         true, TextSelection{3, 2}},
        // An upper-case copy of "ß" is two letters long and would shift every offset after it.
        {"offsets stay put after sharp s", QStringLiteral("straße x X"), 1, "X", true,
         TextSelection{7, 1}},
        {"empty word at the start position", "abc", 2, "", false, TextSelection{1, 0}},
        {"empty word at the last character", "abc", 3, "", false, TextSelection{2, 0}},
        {"empty word after the end", "abc", 4, "", false, std::nullopt},
        {"empty word in an empty editor", "", 1, "", false, std::nullopt},
        {"start before the text", "abc", 0, "a", false, std::nullopt},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(FindInEditor(row.text, row.start, row.word, row.ignoreCase), row.expected)
            << row.name;
    }
}

// Drives the two commands the way the main window does: Search starts after the caret (the
// start of the selection), Find next after the selection.
TEST(FindInEditor, SearchRepeatsAndFindNextStepsToTheLastOccurrence) {
    const QString text = QStringLiteral("x\r\nab ab\r\nab");
    TextSelection selection{0, 0};
    const auto search = [&] {
        if (const Found hit = FindInEditor(text, SearchStart(selection.start), "ab", false)) {
            selection = *hit;
        }
    };
    const auto findNext = [&] {
        if (const Found hit =
                FindInEditor(text, FindNextStart(selection.start, selection.length), "ab", false)) {
            selection = *hit;
        }
    };
    search();
    EXPECT_EQ(selection, (TextSelection{3, 2}));
    search();  // the same occurrence again
    EXPECT_EQ(selection, (TextSelection{3, 2}));
    findNext();
    EXPECT_EQ(selection, (TextSelection{6, 2}));
    findNext();
    EXPECT_EQ(selection, (TextSelection{10, 2}));
    findNext();  // nothing after the last: it stays selected
    EXPECT_EQ(selection, (TextSelection{10, 2}));
}

}  // namespace
