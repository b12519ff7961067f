#include <gtest/gtest.h>

#include "engines/clsEditColor.h"
#include "tests/engines/engineTestSupport.h"
#include "tests/support/recordingPresenter.h"

namespace {

const QString kHeader = QStringLiteral("{\\rtf1\\ansi\\pard\\fs20 ");
const QStringList kExampleKeywords = {QStringLiteral("select,1"), QStringLiteral("from,1"),
                                      QStringLiteral("where,1"),  QStringLiteral("and,1"),
                                      QStringLiteral("null,2"),   QStringLiteral("count,3")};

struct ColorRow {
    const char *name;
    const char *body;      // the document's text after the header, before the closing brace
    const char *expected;  // the coloured text after the header, before the closing brace
    QStringList keywords = kExampleKeywords;
    short tabSpaceNum = 4;
};

// Shown instead of the bytes of the row in test names and messages.
void PrintTo(const ColorRow &row, std::ostream *out) {
    *out << row.name;
}

// Runs the engine on header + body + "}" and returns what stands between the header and the
// closing brace of the result, after checking the colour table and the final space.
QString ColourBody(const ColorRow &row) {
    clsEditColor engine(WriteKeywordFile(QStringLiteral("COLOR_ROW.CSV"), row.keywords));
    engine.setTabSpaceNum(row.tabSpaceNum);
    const QString result = engine.CColor(kHeader + QString::fromUtf8(row.body) + QLatin1Char('}'));
    const QString prefix = QLatin1Char('{') + clsEditColor::ColorTable() + kHeader.mid(1);
    EXPECT_TRUE(result.startsWith(prefix)) << result.toStdString();
    EXPECT_TRUE(result.endsWith(QLatin1String("} "))) << result.toStdString();
    return result.mid(prefix.size()).chopped(2);
}

class ColorRowTest : public testing::TestWithParam<ColorRow> {};

TEST_P(ColorRowTest, ColoursTheText) {
    EXPECT_EQ(ColourBody(GetParam()).toStdString(), GetParam().expected);
}

const ColorRow kRows[] = {
    {"names_numbers_literals_stay", "x 1 'abc' t\\par ", "x 1 'abc' t\\par "},
    {"case_ignored_spelling_kept", "SELECT select Select\\par ",
     "\\cf1 SELECT\\cf0  \\cf1 select\\cf0  \\cf1 Select\\cf0 \\par "},
    {"punctuation_is_no_delimiter", "count(*) select, (select) a.select;\\par ",
     "count(*) select, (select) a.select;\\par "},
    {"escape_after_keyword_is_delimiter", "select\\\\x", "\\cf1 select\\cf0 \\\\x"},
    {"ideographic_space_is_delimiter",
     "select\xe3\x80\x80"
     "from\\par ",
     "\\cf1 select\\cf0 \xe3\x80\x80\\cf1 from\\cf0 \\par "},
    {"inside_longer_word", "selected fromage\\par ", "selected fromage\\par "},
    {"phrase_needs_exact_spacing",
     "order by x order  by\\par ",
     "\\cf1 order by\\cf0  x order  by\\par ",
     {QStringLiteral("\"order by\",1")}},
    {"phrase_with_space", "a x  y\\par ", "a \\cf1 x \\cf0  y\\par ", {QStringLiteral("\"x \",1")}},
    {"uncoloured_match_skips_the_next_character",
     "ax x  y\\par ",
     "ax x  y\\par ",
     {QStringLiteral("\"x \",1")}},
    {"same_keyword_twice_second_wins",
     "select\\par ",
     "\\cf1 \\cf2 select\\cf0 \\cf0 \\par ",
     {QStringLiteral("select,1"), QStringLiteral("select,2")}},
    {"phrase_then_word",
     "order by x\\par ",
     "\\cf1 \\cf2 order\\cf0  by\\cf0  x\\par ",
     {QStringLiteral("order by,1"), QStringLiteral("order,2")}},
    {"other_colour_indexes_default",
     "zero four neg\\par ",
     "\\cf0 zero\\cf0  \\cf0 four\\cf0  \\cf0 neg\\cf0 \\par ",
     {QStringLiteral("zero,0"), QStringLiteral("four,4"), QStringLiteral("neg,-1")}},
    {"line_comment_ends_before_par", "a -- select\\par select\\par ",
     "a \\cf4 -- select\\cf0 \\par \\cf1 select\\cf0 \\par "},
    {"block_comment_spans_lines", "/* select\\par from */ x\\par ",
     "\\cf4 /* select\\par from */\\cf0  x\\par "},
    {"slash_star_slash_is_a_comment", "/*/ select\\par ",
     "\\cf4 /*/\\cf0  \\cf1 select\\cf0 \\par "},
    {"first_marker_decides", "-- a /* b\\par c */\\par ", "\\cf4 -- a /* b\\cf0 \\par c */\\par "},
    {"line_marker_inside_block", "/* -- */ x\\par ", "\\cf4 /* -- */\\cf0  x\\par "},
    {"line_comment_on_last_line_runs_to_end", "x -- select", "x \\cf4 -- select\\cf0 "},
    {"unclosed_block_runs_to_end", "/* select\\par from", "\\cf4 /* select\\par from\\cf0 "},
    {"two_line_comments", "-- select from\\par -- where\\par ",
     "\\cf4 -- select from\\cf0 \\par \\cf4 -- where\\cf0 \\par "},
    {"repeated_marker_one_code", "-- a -- b /* c\\par ", "\\cf4 -- a -- b /* c\\cf0 \\par "},
    {"quotes_not_known", "' select ' 'x -- y'\\par ",
     "' \\cf1 select\\cf0  ' 'x \\cf4 -- y'\\cf0 \\par "},
    {"tab_becomes_spaces", "a\\tab b\\tab\\tab c", "a    b       c"},
    {"tab_of_one_space", "a\\tab b", "a b", kExampleKeywords, 1},
    {"old_codes_removed", "\\cf1 x\\cf0  select \\cf4 y", "x \\cf1 select\\cf0  y"},
    {"code_after_control_word_keeps_separation", "\\b\\cf1 select\\par ",
     "\\b \\cf1 select\\cf0 \\par "},
    {"control_word_keywords_rewrite_only_text",
     "par tab cf1\\par ",
     "\\cf1 par\\cf0  \\cf1 tab\\cf0  \\cf3 cf1\\cf0 \\par ",
     {QStringLiteral("par,1"), QStringLiteral("tab,1"), QStringLiteral("cf1,3"),
      QStringLiteral("fs20,1"), QStringLiteral("rtf1,1"), QStringLiteral("ansi,1")}},
    {"tab_letters_after_escaped_backslash", "'C:\\\\table'", "'C:\\\\table'"},
    {"typed_colour_code_text_kept", "\\\\cf1 x", "\\\\cf1 x"},
    {"empty_keyword_skipped",
     "select\\par ",
     "\\cf1 select\\cf0 \\par ",
     {QStringLiteral(",1"), QStringLiteral("select,1")}},
    {"japanese_keyword",
     "\xe9\x81\xb8\xe6\x8a\x9e x\\par ",
     "\\cf3 \xe9\x81\xb8\xe6\x8a\x9e\\cf0  x\\par ",
     {QString::fromUtf8("\xe9\x81\xb8\xe6\x8a\x9e,3")}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ColorRowTest, testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ColorDocument, HeaderIsNeverRewritten) {
    const QString document =
        QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 select--mono;}}\\f0 select\\par }");
    const QString result =
        clsEditColor(WriteKeywordFile(QStringLiteral("HEADER.CSV"), {QStringLiteral("select,1")}))
            .CColor(document);
    EXPECT_EQ(result.toStdString(),
              (QLatin1Char('{') + clsEditColor::ColorTable() +
               QStringLiteral("\\rtf1\\ansi{\\fonttbl{\\f0 select--mono;}}\\f0 \\cf1 select\\cf0 "
                              "\\par } "))
                  .toStdString());
}

TEST(ColorDocument, LineBreaksGoAndTheRestStays) {
    const QString result =
        clsEditColor(WriteKeywordFile(QStringLiteral("PLAIN.CSV"), {QStringLiteral("select,1")}))
            .CColor(QStringLiteral("{\\rtf1\r\n\\pard abc\\par\r\n }\r\n"));
    EXPECT_EQ(result, QLatin1Char('{') + clsEditColor::ColorTable() +
                          QStringLiteral("\\rtf1\\pard abc\\par } "));
}

TEST(ColorDocument, BridgeDocumentIsColouredLineByLine) {
    const QString result =
        clsEditColor(WriteKeywordFile(QStringLiteral("BRIDGE.CSV"), {QStringLiteral("select,1")}))
            .CColor(EditorRtf(QStringLiteral("select {x}\n\tselect")));
    EXPECT_EQ(result, QLatin1Char('{') + clsEditColor::ColorTable() +
                          QString::fromLatin1(kEditorRtfHeader).mid(1) +
                          QStringLiteral("\\cf1 select\\cf0  \\{x\\}\\par     \\cf1 select\\cf0 "
                                         "\\par } "));
}

TEST(ColorKeywordFileForms, BlankLinesAndQuotesGiveTheSameList) {
    const QString document = kHeader + QStringLiteral("select a, b from t\\par }");
    const QString plain = clsEditColor(WriteRawKeywordFile(QStringLiteral("PLAIN.CSV"),
                                                           "H\r\nselect,1\r\nfrom,2\r\n"))
                              .CColor(document);
    const QString blank =
        clsEditColor(WriteRawKeywordFile(QStringLiteral("BLANK.CSV"),
                                         "H\r\n\r\nselect,1\r\n\r\n\r\nfrom, 2 \r\n"))
            .CColor(document);
    const QString quoted =
        clsEditColor(WriteRawKeywordFile(QStringLiteral("QUOTED.CSV"),
                                         "H\r\n\"select\",1\r\n\"from\",\"2\",x\r\n"))
            .CColor(document);
    EXPECT_FALSE(plain.isEmpty());
    EXPECT_EQ(blank, plain);
    EXPECT_EQ(quoted, plain);
}

TEST(ColorKeywordFileForms, Cp932FileIsRead) {
    // "選択,3" in CP932.
    const QString path =
        WriteRawKeywordFile(QStringLiteral("CP932.CSV"), QByteArray("H\r\n\x91\x49\x91\xf0,3\r\n"));
    const QString result =
        clsEditColor(path).CColor(kHeader + QString::fromUtf8("\xe9\x81\xb8\xe6\x8a\x9e\\par }"));
    EXPECT_TRUE(result.contains(QString::fromUtf8("\\cf3 \xe9\x81\xb8\xe6\x8a\x9e\\cf0 ")))
        << result.toStdString();
}

TEST(ColorTabSpaceNum, DefaultsToFourAndIsKept) {
    clsEditColor engine(QStringLiteral("/nonexistent/K.CSV"));
    EXPECT_EQ(engine.TabSpaceNum(), 4);
    engine.setTabSpaceNum(8);
    EXPECT_EQ(engine.TabSpaceNum(), 8);
}

}  // namespace
