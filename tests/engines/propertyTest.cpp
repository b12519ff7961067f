// Generated inputs against both engines: no input makes them crash or hang, the fast engines
// give exactly what the straightforward rewriting gives, colouring never loses or changes a
// character of the document, and formatting changes nothing but spaces and line breaks.
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

#include "core/failure.h"
#include "engines/clsArrangeQuery.h"
#include "engines/clsEditColor.h"
#include "engines/rtfScanner.h"
#include "tests/engines/engineTestSupport.h"
#include "tests/engines/referenceEngines.h"
#include "tests/support/recordingPresenter.h"

namespace {

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    template <typename T, size_t N>
    const T &pick(const T (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }

    QString randomCase(const QString &word) {
        QString mixed = word;
        for (QChar &c : mixed) {
            if (below(2) == 0) {
                c = c.toUpper();
            }
        }
        return mixed;
    }

private:
    std::mt19937 random_;
};

const char *const kWords[] = {"select",   "from",     "par",         "tab",
                              "cf1",      "order",    "by",          "order by",
                              "a",        "null",     "is",          "x",
                              "selected", "count(*)", "c:\\\\table", "\xe6\x97\xa5\xe6\x9c\xac",
                              "1",        "'--'"};
const char *const kPieces[] = {
    " ",     "  ",   "\xe3\x80\x80", "\\par ", "\\tab ", "\\tab",  "\\\\", "\\{",
    "\\}",   "--",   "/*",           "*/",     "*",      "/",      "-",    "(",
    ")",     ",",    "\\cf1 ",       "\\cf4 ", "\\cf0 ", "\\cf9 ", "\\b ", "\\b",
    "\\i0 ", "\r\n", "\n",           "\\'e9",  "{",      "}",      "'",    "\t"};
const char *const kHeaders[] = {"{\\rtf1\\ansi\\pard\\fs20 ", "{\\rtf1\\ansi\\deff0\\pard\\fs20 ",
                                "{\\rtf1\\ansi{\\fonttbl{\\f0 select par;}}\\f0 -- /* ", "{\\rtf1 ",
                                "{"};
const char *const kKeywords[] = {"select",   "from",
                                 "par",      "tab",
                                 "cf1",      "cf0",
                                 "order by", "order",
                                 "by",       "a",
                                 " x",       "x ",
                                 "null",     "is",
                                 "-",        "--",
                                 "\\",       "{",
                                 "}",        "rtf1",
                                 "fs20",     "\xe6\x97\xa5\xe6\x9c\xac",
                                 "a a",      "",
                                 "e9",       ",",
                                 "(",        " ",
                                 "\r",       "  "};

QString RandomDocument(Generator &g) {
    QString doc = QString::fromUtf8(g.pick(kHeaders));
    const int pieces = g.below(40);
    for (int n = 0; n < pieces; ++n) {
        doc += g.below(2) == 0 ? g.randomCase(QString::fromUtf8(g.pick(kWords)))
                               : QString::fromUtf8(g.pick(kPieces));
    }
    switch (g.below(8)) {
        case 0:
            break;  // no closing brace
        case 1:
            doc += QStringLiteral("}\r\n");
            break;
        default:
            doc += QStringLiteral("\\par }");
    }
    return doc;
}

QString Quoted(const QString &keyword) {
    return keyword.isEmpty() ? QString() : QLatin1Char('"') + keyword + QLatin1Char('"');
}

QList<ColorKeyword> RandomColorKeywords(Generator &g) {
    QList<ColorKeyword> list;
    const int count = 1 + g.below(8);
    for (int n = 0; n < count; ++n) {
        list.append({g.randomCase(QString::fromUtf8(g.pick(kKeywords))),
                     static_cast<short>(g.below(7) - 1)});
    }
    return list;
}

QString ColorKeywordFile(const QList<ColorKeyword> &list) {
    QStringList lines;
    for (const ColorKeyword &entry : list) {
        lines << Quoted(entry.Keyword) + QLatin1Char(',') + QString::number(entry.ColorIndex);
    }
    return WriteKeywordFile(QStringLiteral("PROPERTY_COLOR.CSV"), lines);
}

// The document as the engine works on it before colouring.
QString Prepared(const QString &document, short tabSpaceNum) {
    QString joined = document;
    joined.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return RemoveRtfColorCodes(ExpandRtfTabs(joined, tabSpaceNum));
}

// The text without any colour code, wherever it stands.
QString WithoutCodes(const QString &text) {
    QString kept;
    RtfScanner scanner(text);
    RtfToken token;
    while (scanner.next(token)) {
        if (!IsColorCodeToken(text, token)) {
            kept += QStringView(text).sliced(token.start, token.length);
        }
    }
    return kept;
}

// The result without the colour table and the final space.
QString WithoutTable(const QString &result) {
    QString stripped = result;
    stripped.remove(1, clsEditColor::ColorTable().size());
    stripped.chop(1);
    return stripped;
}

TEST(ColorProperty, FastEngineEqualsRewritingAndKeepsEveryCharacter) {
    Generator g(20240611);
    for (int round = 0; round < 1500; ++round) {
        const QString document = RandomDocument(g);
        const QList<ColorKeyword> list = RandomColorKeywords(g);
        const short tabs = static_cast<short>(g.below(6));
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << document.toStdString());
        clsEditColor engine(ColorKeywordFile(list));
        engine.setTabSpaceNum(tabs);
        RecordingPresenter presenter;
        const QString result = engine.CColor(document);
        const QString prepared = Prepared(document, tabs);
        if (!prepared.startsWith(QLatin1Char('{'))) {
            EXPECT_TRUE(result.isEmpty());
            ASSERT_EQ(presenter.boxes().size(), 1);
            EXPECT_TRUE(presenter.boxes().front().text.startsWith(QLatin1String("5:")));
            continue;
        }
        ASSERT_TRUE(presenter.boxes().isEmpty()) << presenter.boxes().front().text.toStdString();
        ASSERT_EQ(result.toStdString(), ReferenceColorKeywords(prepared, list).toStdString());
        ASSERT_TRUE(result.startsWith(QLatin1Char('{') + clsEditColor::ColorTable()));
        ASSERT_TRUE(result.endsWith(QLatin1Char(' ')));
        ASSERT_EQ(WithoutCodes(WithoutTable(result)).toStdString(),
                  WithoutCodes(prepared).toStdString());
    }
}

QList<ArrangeKeyword> RandomArrangeKeywords(Generator &g) {
    QList<ArrangeKeyword> list;
    const int count = 1 + g.below(6);
    for (int n = 0; n < count; ++n) {
        const short level = g.below(20) == 0 ? short(8192) : static_cast<short>(g.below(5) - 1);
        list.append({g.randomCase(QString::fromUtf8(g.pick(kKeywords))), level,
                     static_cast<short>(g.below(3))});
    }
    return list;
}

QString ArrangeKeywordFile(const QList<ArrangeKeyword> &list) {
    QStringList lines;
    for (const ArrangeKeyword &entry : list) {
        lines << Quoted(entry.Keyword) + QLatin1Char(',') + QString::number(entry.Level) +
                     QLatin1Char(',') + QString::number(entry.WordFlag);
    }
    return WriteKeywordFile(QStringLiteral("PROPERTY_ARRANGE.CSV"), lines);
}

const char *const kSqlPieces[] = {
    " ", "   ", "\t", "\r\n",  "\r",     "\n",   ",",
    "(", ")",   "x",  "y = 1", "'a, b'", "-- c", "\xe6\x97\xa5\xe6\x9c\xac"};

QString RandomQuery(Generator &g) {
    QString text;
    const int pieces = g.below(30);
    for (int n = 0; n < pieces; ++n) {
        text += g.below(2) == 0 ? g.randomCase(QString::fromUtf8(g.pick(kKeywords)))
                                : QString::fromUtf8(g.pick(kSqlPieces));
    }
    return text;
}

QString WithoutLayout(QString text) {
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    return text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

TEST(ArrangeProperty, FastEngineEqualsRewritingAndChangesOnlyLayout) {
    Generator g(7);
    for (int round = 0; round < 1500; ++round) {
        const QString text = RandomQuery(g);
        const QList<ArrangeKeyword> list = RandomArrangeKeywords(g);
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << text.toStdString());
        RecordingPresenter presenter;
        const QString result = clsArrangeQuery(ArrangeKeywordFile(list)).CArrange(text);
        QString expected;
        try {
            expected = ReferenceArrangeText(text, list);
        } catch (const Failure &failure) {
            ASSERT_EQ(failure.number, 6);
            EXPECT_TRUE(result.isEmpty());
            ASSERT_EQ(presenter.boxes().size(), 1);
            EXPECT_TRUE(presenter.boxes().front().text.startsWith(QLatin1String("6:")));
            continue;
        }
        ASSERT_TRUE(presenter.boxes().isEmpty()) << presenter.boxes().front().text.toStdString();
        ASSERT_EQ(Readable(result, false), Readable(expected, false));
        ASSERT_EQ(WithoutLayout(result).toStdString(), WithoutLayout(text).toStdString());
    }
}

}  // namespace
