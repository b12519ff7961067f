#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include "files/basSqlFile.h"
#include "tests/support/recordingPresenter.h"

namespace {

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class SqlFileTest : public testing::Test {
protected:
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

struct LineRow {
    const char *name;
    QByteArray bytes;
    const char *text;
};

TEST_F(SqlFileTest, ReadingEndsEveryLineWithCrLf) {
    const LineRow rows[] = {
        {"no_final_break", "SELECT 1\r\nGO", "SELECT 1\r\nGO\r\n"},
        {"final_crlf", "SELECT 1\r\nGO\r\n", "SELECT 1\r\nGO\r\n"},
        {"cr_only", "a\rb\rc", "a\r\nb\r\nc\r\n"},
        {"lf_only_stays_inside", "a\nb\n", "a\nb\n\r\n"},
        {"blank_lines", "a\r\n\r\n\rb", "a\r\n\r\n\r\nb\r\n"},
        {"empty_file", "", ""},
    };
    for (const LineRow &row : rows) {
        WriteBytes(path("lines.sql"), row.bytes);
        EXPECT_EQ(ReadSqlFile(path("lines.sql")), QString::fromUtf8(row.text)) << row.name;
    }
}

TEST_F(SqlFileTest, MissingFileOrEmptyPathGivesEmptyTextSilently) {
    EXPECT_EQ(ReadSqlFile(QString()), QString());
    EXPECT_EQ(ReadSqlFile(path("nothing.sql")), QString());
    EXPECT_EQ(ReadSqlFile(dir_.path()), QString());  // a folder is not a normal file
}

TEST_F(SqlFileTest, RoundTripsInEachEncoding) {
    struct Row {
        const char *name;
        QString text;
        std::optional<TextEncoding> requested;
        TextEncoding written;
        QByteArray prefix;
    };
    const QString japanese = QStringLiteral("SELECT '顧客名' FROM 注文\r\n");
    const Row rows[] = {
        {"new_text_cp932", japanese, std::nullopt, TextEncoding::Cp932, "SELECT '\x8c\xda"},
        {"not_in_cp932_becomes_utf8_bom", QStringLiteral("SELECT '😀 한국어'\r\n"), std::nullopt,
         TextEncoding::Utf8Bom, "\xEF\xBB\xBF"},
        {"kept_utf8", japanese, TextEncoding::Utf8, TextEncoding::Utf8, "SELECT '\xe9\xa1\xa7"},
        {"kept_utf8_bom", japanese, TextEncoding::Utf8Bom, TextEncoding::Utf8Bom, "\xEF\xBB\xBF"},
    };
    for (const Row &row : rows) {
        const QString file = path("round.sql");
        EXPECT_EQ(WriteSqlFile(file, row.text, row.requested), row.written) << row.name;
        EXPECT_TRUE(ReadBytes(file).startsWith(row.prefix)) << row.name;
        TextEncoding read = TextEncoding::Cp932;
        EXPECT_EQ(ReadSqlFile(file, &read), row.text) << row.name;
        EXPECT_EQ(read, row.written) << row.name;
    }
}

TEST_F(SqlFileTest, ShiftJisFileFromAJapaneseSystemReadsBack) {
    // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
    WriteBytes(path("sjis.sql"), QByteArray("SELECT '\x95\x5c' -- \x83\x65\x83\x58\x83\x67\r\n"));
    TextEncoding encoding = TextEncoding::Utf8;
    EXPECT_EQ(ReadSqlFile(path("sjis.sql"), &encoding),
              QStringLiteral("SELECT '表' -- テスト\r\n"));
    EXPECT_EQ(encoding, TextEncoding::Cp932);
}

TEST_F(SqlFileTest, EmptyPathOrTextWritesNothing) {
    WriteBytes(path("keep.sql"), "old");
    EXPECT_EQ(WriteSqlFile(path("keep.sql"), QString()), std::nullopt);
    EXPECT_EQ(ReadBytes(path("keep.sql")), QByteArray("old"));
    EXPECT_EQ(WriteSqlFile(QString(), QStringLiteral("x")), std::nullopt);
    EXPECT_FALSE(QFile::exists(path("new.sql")));
    EXPECT_EQ(WriteSqlFile(path("new.sql"), QString()), std::nullopt);
    EXPECT_FALSE(QFile::exists(path("new.sql")));
}

TEST_F(SqlFileTest, FailedWriteKeepsTheOldFileAndShowsAnError) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders; covered by the missing folder case";
    }
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/q.sql");
    WriteBytes(file, "old text");
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    RecordingPresenter presenter;
    EXPECT_EQ(WriteSqlFile(file, QStringLiteral("new text")), std::nullopt);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadBytes(file), QByteArray("old text"));
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].title, QStringLiteral("エラー"));
}

TEST_F(SqlFileTest, WriteIntoMissingFolderShowsAnError) {
    RecordingPresenter presenter;
    EXPECT_EQ(WriteSqlFile(path("no/such/folder/q.sql"), QStringLiteral("x")), std::nullopt);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("q.sql")));
}

}  // namespace
