// The failure table of both keyword engines: each failure shows the engine's own box
// ("<number>:<description>", title Tessory, stop icon) once, and the engine returns nothing.
#include <QDir>

#include <gtest/gtest.h>

#include "core/failure.h"
#include "engines/clsArrangeQuery.h"
#include "engines/clsEditColor.h"
#include "tests/engines/engineTestSupport.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"

namespace {

const QString kDocument = QStringLiteral("{\\rtf1\\ansi\\pard\\fs20 select a from t\\par }");

enum class FileKind { Missing, MissingFolder, Folder, Bytes };

struct FailureRow {
    const char *name;
    FileKind file;
    QByteArray bytes;  // the keyword file, for FileKind::Bytes
    int number;
    const char *text = nullptr;  // the engine's input; the default document or query if null
};

// Shown instead of the bytes of the row in test names and messages.
void PrintTo(const FailureRow &row, std::ostream *out) {
    *out << row.name;
}

QString KeywordPath(const FailureRow &row, const QString &name) {
    switch (row.file) {
        case FileKind::Missing:
            return TestProcessFolder() + QStringLiteral("/NO_SUCH_FILE.CSV");
        case FileKind::MissingFolder:
            return TestProcessFolder() + QStringLiteral("/no_such_folder/K.CSV");
        case FileKind::Folder: {
            const QString folder = TestProcessFolder() + QStringLiteral("/A_FOLDER.CSV");
            QDir().mkpath(folder);
            return folder;
        }
        case FileKind::Bytes:
            break;
    }
    return WriteRawKeywordFile(name, row.bytes);
}

void ExpectOneBox(const RecordingPresenter &presenter, int number) {
    ASSERT_EQ(presenter.boxes().size(), 1);
    const RecordedBox &box = presenter.boxes().front();
    EXPECT_EQ(box.text, QString::number(number) + QLatin1Char(':') + FailureDescription(number));
    EXPECT_EQ(box.title, QStringLiteral("Tessory"));
    EXPECT_EQ(box.style, 16);
}

QByteArray ManyLines(const QByteArray &line, int count) {
    QByteArray bytes("H");
    for (int n = 0; n < count; ++n) {
        bytes += "\r\n" + line;
    }
    return bytes;
}

class ColorFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(ColorFailureTest, ShowsTheBoxAndReturnsNothing) {
    const FailureRow &row = GetParam();
    RecordingPresenter presenter;
    const QString text = row.text ? QString::fromUtf8(row.text) : kDocument;
    EXPECT_TRUE(
        clsEditColor(KeywordPath(row, QStringLiteral("COLOR_FAIL.CSV"))).CColor(text).isEmpty());
    ExpectOneBox(presenter, row.number);
}

const FailureRow kColorRows[] = {
    {"missing_file", FileKind::Missing, {}, 53},
    {"missing_folder", FileKind::MissingFolder, {}, 76},
    {"unreadable", FileKind::Folder, {}, 70},
    {"zero_bytes", FileKind::Bytes, "", 9},
    {"only_header", FileKind::Bytes, "KEYWORD,COLOR\r\n", 9},
    {"only_empty_lines", FileKind::Bytes, "H\r\n\r\n\r\n", 9},
    {"lf_line_ends", FileKind::Bytes, "H\nselect,1\nfrom,1\n", 9},
    {"one_field", FileKind::Bytes, "H\r\nselect,1\r\nfrom", 9},
    {"trailing_comma_one_field", FileKind::Bytes, "H\r\nselect,", 9},
    {"only_spaces", FileKind::Bytes, "H\r\n   ", 9},
    {"colour_not_number", FileKind::Bytes, "H\r\nselect,blue", 13},
    {"colour_blank", FileKind::Bytes, "H\r\nselect, ", 13},
    {"colour_fraction", FileKind::Bytes, "H\r\nselect,1.5", 13},
    {"colour_too_large", FileKind::Bytes, "H\r\nselect,32768", 6},
    {"colour_too_small", FileKind::Bytes, "H\r\nselect,-32769", 6},
    {"too_many_line_breaks", FileKind::Bytes, ManyLines("select,1", 32767), 6},
    {"too_many_fields", FileKind::Bytes, "H\r\nselect,1" + QByteArray(32767, ','), 6},
    {"empty_rich_text", FileKind::Bytes, "H\r\nselect,1", 5, ""},
    {"only_line_breaks", FileKind::Bytes, "H\r\nselect,1", 5, "\r\n\r\n"},
    {"not_a_document", FileKind::Bytes, "H\r\nselect,1", 5, "select a"},
};

INSTANTIATE_TEST_SUITE_P(Rows, ColorFailureTest, testing::ValuesIn(kColorRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ColorLimits, LastAllowedLineCountIsRead) {
    RecordingPresenter presenter;
    const QString result =
        clsEditColor(WriteRawKeywordFile(QStringLiteral("MANY.CSV"), ManyLines("select,1", 32766)))
            .CColor(QStringLiteral("{x}"));
    EXPECT_TRUE(presenter.boxes().isEmpty());
    EXPECT_FALSE(result.isEmpty());
}

class ArrangeFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(ArrangeFailureTest, ShowsTheBoxAndReturnsNothing) {
    const FailureRow &row = GetParam();
    RecordingPresenter presenter;
    const QString text = row.text ? QString::fromUtf8(row.text) : QStringLiteral("select a");
    EXPECT_TRUE(clsArrangeQuery(KeywordPath(row, QStringLiteral("ARRANGE_FAIL.CSV")))
                    .CArrange(text)
                    .isEmpty());
    ExpectOneBox(presenter, row.number);
}

const FailureRow kArrangeRows[] = {
    {"missing_file", FileKind::Missing, {}, 53},
    {"missing_file_empty_query", FileKind::Missing, {}, 53, ""},
    {"missing_folder", FileKind::MissingFolder, {}, 76},
    {"unreadable", FileKind::Folder, {}, 70},
    {"zero_bytes", FileKind::Bytes, "", 9},
    {"only_header", FileKind::Bytes, "KEYWORD,LEVEL,WORD\r\n", 9},
    {"only_blank_lines", FileKind::Bytes, "H\r\n   \r\n\r\n", 9},
    {"lf_line_ends", FileKind::Bytes, "H\nSELECT,1,1\n", 9},
    {"two_fields", FileKind::Bytes, "H\r\nSELECT,1", 9},
    {"level_not_number", FileKind::Bytes, "H\r\nSELECT,x,1", 13},
    {"flag_empty", FileKind::Bytes, "H\r\nSELECT,1,,", 13},
    {"flag_fraction", FileKind::Bytes, "H\r\nSELECT,1,1.0", 13},
    {"level_too_large", FileKind::Bytes, "H\r\nSELECT,40000,1", 6},
    {"too_many_lines", FileKind::Bytes, ManyLines("SELECT,1,1", 32767), 6},
    {"indent_of_text_overflows", FileKind::Bytes, "H\r\nSELECT,8192,1", 6},
    {"indent_of_keyword_overflows", FileKind::Bytes, "H\r\nSELECT,-8192,1", 6},
};

INSTANTIATE_TEST_SUITE_P(Rows, ArrangeFailureTest, testing::ValuesIn(kArrangeRows),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
