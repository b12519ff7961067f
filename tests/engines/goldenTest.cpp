// The keyword engines against input and expected files under tests/engines/golden. Set
// TESSORY_UPDATE_GOLDEN=1 to rewrite the expected files from the engines' current output, so
// that a deliberate change shows up as a diff in review.
#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

#include "engines/clsArrangeQuery.h"
#include "engines/clsEditColor.h"
#include "tests/engines/engineTestSupport.h"
#include "tests/support/testEnvironment.h"

namespace {

enum class Engine { Colour, Arrange };

struct GoldenCase {
    std::string name;
    Engine engine;
    QString folder;
    QString input;
    QString expected;
    bool defaultKeywords;  // the keyword files shipped with the program
};

// Shown instead of the bytes of the row in test names and messages.
void PrintTo(const GoldenCase &row, std::ostream *out) {
    *out << row.name;
}

QString GoldenFolder() {
    return TestSourceFolder() + QStringLiteral("/engines/golden");
}

std::vector<GoldenCase> FindCases() {
    std::vector<GoldenCase> cases;
    const struct {
        const char *folder;
        Engine engine;
        const char *extension;
        bool defaultKeywords;
    } kinds[] = {{"colour", Engine::Colour, "rtf", false},
                 {"colour-default", Engine::Colour, "rtf", true},
                 {"arrange", Engine::Arrange, "sql", false},
                 {"arrange-default", Engine::Arrange, "sql", true}};
    for (const auto &kind : kinds) {
        const QString folder = GoldenFolder() + QLatin1Char('/') + QLatin1String(kind.folder);
        const QString suffix = QStringLiteral(".in.") + QLatin1String(kind.extension);
        const QStringList inputs =
            QDir(folder).entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name);
        for (const QString &input : inputs) {
            const QString base = input.chopped(suffix.size());
            QString name = QString::fromLatin1(kind.folder) + QLatin1Char('_') + base;
            name.replace(QLatin1Char('-'), QLatin1Char('_'));
            cases.push_back({name.toStdString(), kind.engine, folder,
                             folder + QLatin1Char('/') + input,
                             folder + QLatin1Char('/') + base + QStringLiteral(".out.") +
                                 QLatin1String(kind.extension),
                             kind.defaultKeywords});
        }
    }
    return cases;
}

class GoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, MatchesExpectedOutput) {
    const GoldenCase &golden = GetParam();
    const QString input = ReadTestFile(golden.input);
    const QString keywordFile =
        golden.defaultKeywords ? QString() : golden.folder + QStringLiteral("/KEYWORDS.CSV");
    QString actual;
    if (golden.engine == Engine::Colour) {
        actual = clsEditColor(keywordFile).CColor(input);
    } else {
        actual = clsArrangeQuery(keywordFile).CArrange(input);
    }
    ASSERT_FALSE(actual.isEmpty()) << "the engine failed on " << golden.input.toStdString();
    if (qEnvironmentVariableIntValue("TESSORY_UPDATE_GOLDEN") == 1) {
        WriteTestFile(golden.expected, actual);
    }
    const QString expected = ReadTestFile(golden.expected);
    const bool rtf = golden.engine == Engine::Colour;
    EXPECT_EQ(Readable(actual, rtf), Readable(expected, rtf))
        << "expected file: " << golden.expected.toStdString();
    EXPECT_TRUE(actual == expected);
}

INSTANTIATE_TEST_SUITE_P(Files, GoldenTest, testing::ValuesIn(FindCases()),
                         [](const auto &info) { return info.param.name; });

}  // namespace
