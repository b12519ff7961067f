#include <gtest/gtest.h>

#include <QMap>

#include "engines/richTextBridge.h"
#include "engines/rtfScanner.h"

namespace {

QString Header() {
    return QString::fromLatin1(kRtfHeader);
}

// The document as text with its runs marked: {B:word} for a blue word, line breaks as |.
QString Render(const RtfDocument &doc) {
    static const QMap<QString, QString> names = {
        {QStringLiteral("0,0,255"), QStringLiteral("B")},
        {QStringLiteral("100,100,100"), QStringLiteral("G")},
        {QStringLiteral("255,0,255"), QStringLiteral("M")},
        {QStringLiteral("0,150,0"), QStringLiteral("C")}};
    QString out;
    qsizetype at = 0;
    auto plain = [&](qsizetype end) {
        out += doc.text.mid(at, end - at).replace(QLatin1String("\r\n"), QLatin1String("|"));
        at = end;
    };
    for (const ColorRun &run : doc.runs) {
        plain(run.start);
        const QString key =
            QStringLiteral("%1,%2,%3").arg(run.color.red).arg(run.color.green).arg(run.color.blue);
        out += QLatin1Char('{') + names.value(key, key) + QLatin1Char(':') +
               doc.text.mid(run.start, run.length) + QLatin1Char('}');
        at = run.start + run.length;
    }
    plain(doc.text.size());
    return out;
}

struct RoundTripRow {
    const char *name;
    const char *text;
    const char *expected;  // the text read back: every line break as CR LF
};

class RoundTripTest : public testing::TestWithParam<RoundTripRow> {};

TEST_P(RoundTripTest, GivesTheTextBack) {
    const RoundTripRow &row = GetParam();
    const RtfDocument doc = ParseRtf(PlainToRtf(QString::fromUtf8(row.text)));
    EXPECT_EQ(doc.text, QString::fromUtf8(row.expected));
    EXPECT_TRUE(doc.runs.isEmpty());
}

const RoundTripRow kRoundTrips[] = {
    {"empty", "", ""},
    {"one_line", "select 1", "select 1"},
    {"crlf", "a\r\nb", "a\r\nb"},
    {"cr_only", "a\rb", "a\r\nb"},
    {"lf_only", "a\nb", "a\r\nb"},
    {"mixed_breaks", "a\r\r\nb\nc", "a\r\n\r\nb\r\nc"},
    {"trailing_break", "a\r\n", "a\r\n"},
    {"only_breaks", "\r\n\r\n", "\r\n\r\n"},
    {"spaces_after_break", "a\r\n  b ", "a\r\n  b "},
    {"tabs", "\ta\t\tb\t", "\ta\t\tb\t"},
    {"tab_before_letters", "x\ttable", "x\ttable"},
    {"backslashes", "C:\\table\\par\\\\x\\", "C:\\table\\par\\\\x\\"},
    {"braces", "{a}}{ \\{", "{a}}{ \\{"},
    {"japanese", "選択　テーブル\r\n表示", "選択　テーブル\r\n表示"},
    {"semicolon_and_quotes", "select ';' from \"t\";", "select ';' from \"t\";"},
};

INSTANTIATE_TEST_SUITE_P(Bridge, RoundTripTest, testing::ValuesIn(kRoundTrips),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PlainToRtf, WritesTheFormTheColouringEngineReads) {
    EXPECT_EQ(PlainToRtf(QStringLiteral("a\tb\\{}\r\nx")),
              Header() + QStringLiteral("a\\tab b\\\\\\{\\}\\par x\\par }"));
    EXPECT_EQ(PlainToRtf(QString()), Header() + QStringLiteral("\\par }"));
    EXPECT_EQ(PlainToRtf(QStringLiteral("あ\r\n")), Header() + QStringLiteral("あ\\par \\par }"));
}

TEST(ParseRtf, ReadsColouredOutputWithTheColourTableInFront) {
    const QString rtf = QStringLiteral(
        "{{\\colortbl "
        ";\\red0\\green0\\blue255;\\red100\\green100\\blue100;\\red255\\green0\\blue255;"
        "\\red0\\green150\\blue0;}\\rtf1\\ansi\\pard\\fs20 \\cf1 Select\\cf0  a \\cf1 FROM\\cf0  t "
        "\\cf4 -- from here\\cf0 \\par \\cf1 where\\cf0  x = 1 \\cf1 and\\cf0     y is \\cf2 "
        "null\\cf0 \\par \\cf4 /* select\\par from */\\cf0  \\cf1 select\\cf0  count(*) \\cf1 "
        "from\\cf0  t\\par } ");
    const RtfDocument doc = ParseRtf(rtf);
    EXPECT_EQ(doc.colors.size(), 5);
    EXPECT_EQ(Render(doc), QStringLiteral("{B:Select} a {B:FROM} t {C:-- from here}|{B:where} x = "
                                          "1 {B:and}    y is {G:null}|{C:/* select}|{C:from */} "
                                          "{B:select} count(*) {B:from} t"));
}

TEST(ParseRtf, HonoursAColourTableThatComesLast) {
    const RtfDocument doc = ParseRtf(
        QStringLiteral("{\\rtf1 \\cf1 x\\cf0 y\\cf2 z{\\colortbl ;\\red1\\green2\\blue3;;}}"));
    EXPECT_EQ(Render(doc), QStringLiteral("{1,2,3:x}yz"));
}

TEST(ParseRtf, RunsNeverCoverALineBreak) {
    const RtfDocument doc =
        ParseRtf(QStringLiteral("{{\\colortbl ;\\red0\\green0\\blue255;}\\cf1 ab\\par cd\\par }"));
    ASSERT_EQ(doc.runs.size(), 2);
    EXPECT_EQ(doc.runs[0].start, 0);
    EXPECT_EQ(doc.runs[0].length, 2);
    EXPECT_EQ(doc.runs[1].start, 4);
    EXPECT_EQ(doc.runs[1].length, 2);
}

struct ParseRow {
    const char *name;
    const char *rtf;
    const char *text;
};

class ParseTextTest : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseTextTest, GivesThePlainText) {
    const ParseRow &row = GetParam();
    EXPECT_EQ(ParseRtf(QString::fromUtf8(row.rtf)).text, QString::fromUtf8(row.text));
}

const ParseRow kParseRows[] = {
    {"empty_input", "", ""},
    {"no_group", "abc", ""},
    {"lone_backslash", "{\\", ""},
    {"unclosed_group", "{\\rtf1 abc", "abc"},
    {"extra_closing_braces", "}}{\\rtf1 a}}}b", "a"},
    {"text_after_document_ignored", "{\\rtf1 a\\par } ", "a"},
    {"source_line_breaks_ignored", "{\\rtf1 a\r\nb\\par\r\nc}", "ab\r\nc"},
    {"backslash_newline_is_paragraph", "{\\rtf1 a\\\nb}", "a\r\nb"},
    {"line_word_breaks", "{\\rtf1 a\\line b}", "a\r\nb"},
    {"unknown_words_skipped", "{\\rtf1\\b\\i0\\fs20\\foo-12 x\\bar}", "x"},
    {"skipped_destinations", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\generator w 1;}abc}", "abc"},
    {"unicode_with_fallback", "{\\rtf1 \\u12354?x\\uc0\\u12356 y}", "あxいy"},
    {"negative_unicode", "{\\rtf1 \\u-3980?}", "\xEF\x81\xB4"},
    {"hex_escape", "{\\rtf1 caf\\'e9}", "café"},
    {"broken_hex_escape", "{\\rtf1 a\\'z9b\\'", "az9b"},
    {"huge_parameter", "{\\rtf1 \\cf99999999999999999999 x\\u99999999999 ?y}", "xy"},
    {"colour_without_table", "{\\rtf1 a\\cf3 b}", "ab"},
    {"tab_word_and_literal_tab", "{\\rtf1 a\\tab b\tc}", "a\tb\tc"},
    {"escaped_specials", "{\\rtf1 \\\\\\{\\}\\~}", "\\{}\xC2\xA0"},
    {"paragraph_ends_only", "{\\rtf1\\par\\par\\par}", "\r\n\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Bridge, ParseTextTest, testing::ValuesIn(kParseRows),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The caret rule of the query window: where an offset lands once the colouring engine has
// turned the tabs into spaces is where the same text up to that offset ends once expanded.
TEST(TabExpandedOffset, AgreesWithTheEnginesExpansion) {
    const QString texts[] = {
        QStringLiteral("A\tB"),
        QStringLiteral("\t\tx\r\n\ty\t"),
        QStringLiteral("a\\tab\t{b}\r\n\r\n\t"),
        QStringLiteral("\t日本\t語\r\n"),
    };
    for (const short tabSpaceNum : {0, 1, 2, 4, 8}) {
        for (const QString &text : texts) {
            const QString expanded = ParseRtf(ExpandRtfTabs(PlainToRtf(text), tabSpaceNum)).text;
            for (int offset = 0; offset <= text.size(); ++offset) {
                if (offset > 0 && text.at(offset - 1) == QLatin1Char('\r')) {
                    continue;  // inside a line break
                }
                const QString prefix =
                    ParseRtf(ExpandRtfTabs(PlainToRtf(text.first(offset)), tabSpaceNum)).text;
                EXPECT_EQ(expanded.first(TabExpandedOffset(text, offset, tabSpaceNum)), prefix)
                    << tabSpaceNum << " spaces, offset " << offset << " of " << text.toStdString();
            }
        }
    }
}

}  // namespace
