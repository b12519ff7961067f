#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/wait.h>
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

// Runs the write as an unprivileged user when the tests run as root, since root may write into
// any folder. Returns the number of boxes shown, or -1 when the write reported success.
int WriteAsUnprivilegedUser(const QString &file, const QString &text) {
    auto attempt = [&] {
        RecordingPresenter presenter;
        const bool written = WriteSqlFile(file, text).has_value();
        return written ? -1 : static_cast<int>(presenter.boxes().size());
    };
    if (geteuid() != 0) {
        return attempt();
    }
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped ? attempt() + 1 : 100);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) - 1 : 99;
}

TEST_F(SqlFileTest, FailedWriteKeepsTheOldFileAndShowsAnError) {
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/q.sql");
    WriteBytes(file, "old text");
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), readOnly | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, readOnly));
    EXPECT_EQ(WriteAsUnprivilegedUser(file, QStringLiteral("new text")), 1);
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    EXPECT_EQ(ReadBytes(file), QByteArray("old text"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("q.sql")});
}

TEST_F(SqlFileTest, WriteIntoMissingFolderShowsAnError) {
    RecordingPresenter presenter;
    EXPECT_EQ(WriteSqlFile(path("no/such/folder/q.sql"), QStringLiteral("x")), std::nullopt);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("q.sql")));
}

}  // namespace
