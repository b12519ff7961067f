#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/basSqlFile.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"

namespace {}  // namespace

void PrintTo(const SqlFileFormat &format, std::ostream *out) {
    *out << "{encoding " << int(format.encoding) << ", line end " << int(format.lineEnd)
         << ", contents \"" << format.contents.toStdString() << "\"}";
}

namespace {

class SqlFileTest : public testing::Test {
protected:
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

struct LineRow {
    const char *name;
    QByteArray bytes;
    const char *text;
    LineEnd style;
};

TEST_F(SqlFileTest, ReadingGivesEveryLineBreakAsCrLf) {
    const LineRow rows[] = {
        {"no_final_break", "SELECT 1\r\nGO", "SELECT 1\r\nGO", LineEnd::CrLf},
        {"final_crlf", "SELECT 1\r\nGO\r\n", "SELECT 1\r\nGO\r\n", LineEnd::CrLf},
        {"cr_only", "a\rb\rc", "a\r\nb\r\nc", LineEnd::Cr},
        {"lf_only", "SELECT 1\nSELECT 2\n", "SELECT 1\r\nSELECT 2\r\n", LineEnd::Lf},
        {"blank_lines", "a\r\n\r\n\rb", "a\r\n\r\n\r\nb", LineEnd::CrLf},
        {"mixed_mostly_lf", "a\nb\r\nc\nd\r", "a\r\nb\r\nc\r\nd\r\n", LineEnd::Lf},
        {"mixed_tie_is_crlf", "a\nb\r\n", "a\r\nb\r\n", LineEnd::CrLf},
        {"lf_cr_is_two_breaks", "a\n\rb", "a\r\n\r\nb", LineEnd::Lf},
        {"no_break_at_all", "SELECT 1", "SELECT 1", LineEnd::CrLf},
        {"empty_file", "", "", LineEnd::CrLf},
    };
    for (const LineRow &row : rows) {
        WriteBytes(path("lines.sql"), row.bytes);
        SqlFileFormat format;
        EXPECT_EQ(ReadSqlFile(path("lines.sql"), &format), QString::fromUtf8(row.text)) << row.name;
        EXPECT_EQ(format.lineEnd, row.style) << row.name;
        EXPECT_EQ(format.contents, row.bytes) << row.name;
    }
}

// Reads the file and writes its text back, unedited, to another file; gives that file's bytes.
QByteArray ReadAndWriteBack(const QString &from, const QString &to) {
    SqlFileFormat format;
    const QString text = ReadSqlFile(from, &format).value();
    const std::optional<SqlFileFormat> written = WriteSqlFile(to, text, format);
    EXPECT_EQ(written, format);
    return ReadBytes(to);
}

TEST_F(SqlFileTest, AnUnchangedTextIsWrittenBackByteForByte) {
    const struct {
        const char *name;
        QByteArray bytes;
    } rows[] = {
        {"lf", "SELECT 1\nSELECT 2\n"},
        {"lf_no_final_break", "SELECT 1\nSELECT 2"},
        {"crlf", "SELECT 1\r\nGO\r\n"},
        {"crlf_no_final_break", "SELECT 1\r\nGO"},
        {"cr", "a\rb\r"},
        {"mixed", "a\nb\r\nc\rd\n\r\n"},
        {"only_breaks", "\n\n\r\n"},
        {"cp932_lf", "SELECT '\x82\xa0\x82\xa2'\nFROM t\n"},
        {"cp932_twin_code", "SELECT '\xed\x40'\n"},  // a second code of U+7E8A
        {"cp932_invalid_byte", "SELECT '\x82\xa0\xff'\n"},
        {"utf8_mixed", "SELECT '\xe3\x81\x82'\r\n-- x\n"},
        {"utf8_bom_cr", "\xef\xbb\xbfSELECT '\xe3\x81\x82'\r"},
        {"utf8_bom_twice", "\xef\xbb\xbf\xef\xbb\xbfSELECT 1\n"},
    };
    for (const auto &row : rows) {
        WriteBytes(path("in.sql"), row.bytes);
        EXPECT_EQ(ReadAndWriteBack(path("in.sql"), path("out.sql")), row.bytes) << row.name;
    }
}

TEST_F(SqlFileTest, AnEditedTextKeepsTheFilesEncodingAndLineBreaks) {
    const struct {
        const char *name;
        QByteArray bytes;
        QByteArray saved;  // after "X" and a line break are added at the end
    } rows[] = {
        {"lf", "a\nb\n", "a\nb\nX\n"},
        {"lf_no_final_break", "a\nb", "a\nbX\n"},
        {"cr", "a\rb\r", "a\rb\rX\r"},
        {"crlf", "a\r\nb\r\n", "a\r\nb\r\nX\r\n"},
        {"mixed_takes_the_most_frequent", "a\nb\r\nc\n", "a\nb\nc\nX\n"},
        {"no_break_gets_crlf", "a", "aX\r\n"},
        {"cp932_lf", "'\x82\xa0'\n", "'\x82\xa0'\nX\n"},
        {"utf8_bom_lf", "\xef\xbb\xbf'\xe3\x81\x82'\n", "\xef\xbb\xbf'\xe3\x81\x82'\nX\n"},
    };
    for (const auto &row : rows) {
        WriteBytes(path("in.sql"), row.bytes);
        SqlFileFormat format;
        const QString text = ReadSqlFile(path("in.sql"), &format).value() + QStringLiteral("X\r\n");
        const std::optional<SqlFileFormat> written = WriteSqlFile(path("out.sql"), text, format);
        EXPECT_EQ(ReadBytes(path("out.sql")), row.saved) << row.name;
        ASSERT_TRUE(written.has_value()) << row.name;
        EXPECT_EQ(written->contents, row.saved) << row.name;
        EXPECT_EQ(written->lineEnd, format.lineEnd) << row.name;
        // Written again unedited, the file stays as it is now.
        EXPECT_EQ(ReadAndWriteBack(path("out.sql"), path("again.sql")), row.saved) << row.name;
    }
}

TEST_F(SqlFileTest, NewTextIsWrittenWithCrLf) {
    EXPECT_EQ(WriteSqlFile(path("new.sql"), QStringLiteral("a\r\nb")),
              (SqlFileFormat{TextEncoding::Cp932, LineEnd::CrLf, "a\r\nb"}));
    EXPECT_EQ(ReadBytes(path("new.sql")), QByteArray("a\r\nb"));
}

TEST_F(SqlFileTest, MissingFileOrEmptyPathGivesEmptyTextSilently) {
    EXPECT_EQ(ReadSqlFile(QString()), QString());
    EXPECT_EQ(ReadSqlFile(path("nothing.sql")), QString());
    EXPECT_EQ(ReadSqlFile(dir_.path()), QString());  // a folder is not a normal file
}

TEST_F(SqlFileTest, AFileThatCannotBeReadGivesNothingAndABox) {
    // An empty file, so that the failure cannot pass for the empty text of a missing one.
    WriteBytes(path("locked.sql"), "");
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ExeGroup |
                                                       QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(path("locked.sql"), QFile::Permissions()));
    RecordingPresenter presenter;
    // Read as an ordinary user also when the tests run as root, whose rights would let it through.
    const bool root = geteuid() == 0;
    if (root) {
        setfsuid(65534);
    }
    const std::optional<QString> text = ReadSqlFile(path("locked.sql"));
    if (root) {
        setfsuid(0);
    }
    EXPECT_FALSE(text.has_value());
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("読み込めません")));
}

// The format of a file in the encoding whose text has been edited since it was read.
std::optional<SqlFileFormat> EditedIn(std::optional<TextEncoding> encoding) {
    if (!encoding) {
        return std::nullopt;
    }
    return SqlFileFormat{*encoding, LineEnd::CrLf, QByteArray()};
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
        const std::optional<SqlFileFormat> written =
            WriteSqlFile(file, row.text, EditedIn(row.requested));
        ASSERT_TRUE(written.has_value()) << row.name;
        EXPECT_EQ(written->encoding, row.written) << row.name;
        EXPECT_TRUE(ReadBytes(file).startsWith(row.prefix)) << row.name;
        SqlFileFormat read;
        EXPECT_EQ(ReadSqlFile(file, &read), row.text) << row.name;
        EXPECT_EQ(read.encoding, row.written) << row.name;
    }
}

// Texts that CP932 would not give back: characters it lacks, characters its encoder maps to
// others, and bytes that are also valid UTF-8. A leading U+FEFF would be taken for the
// byte-order mark. Each is written in an encoding that gives it back, and reads back whole.
TEST_F(SqlFileTest, WhatIsWrittenReadsBackAsTheSameText) {
    struct Row {
        const char *name;
        QString text;
        std::optional<TextEncoding> requested;
        TextEncoding written;
    };
    const auto cp932 = std::optional(TextEncoding::Cp932);
    const QString feff = QString(QChar(0xFEFF));
    const Row rows[] = {
        {"half_width_katakana_read_as_utf8", QStringLiteral("SELECT 'ﾃｽ' AS x"), cp932,
         TextEncoding::Utf8Bom},
        {"wave_dash", QStringLiteral("'〜'"), cp932, TextEncoding::Utf8Bom},
        {"minus_sign", QStringLiteral("'−'"), cp932, TextEncoding::Utf8Bom},
        {"double_vertical_line", QStringLiteral("'‖'"), cp932, TextEncoding::Utf8Bom},
        {"cent_pound_not", QStringLiteral("'¢ £ ¬'"), cp932, TextEncoding::Utf8Bom},
        {"their_full_width_forms", QStringLiteral("'～ － ∥ ￠ ￡ ￢'"), cp932,
         TextEncoding::Cp932},
        {"plain_japanese", QStringLiteral("SELECT 顧客名, 'テスト' FROM 注文"), cp932,
         TextEncoding::Cp932},
        {"half_width_katakana_among_japanese", QStringLiteral("SELECT 'ﾃｽﾄ です'"), cp932,
         TextEncoding::Cp932},
        {"ascii", QStringLiteral("SELECT 1 -- \\ ~"), cp932, TextEncoding::Cp932},
        {"new_text_ascii", QStringLiteral("SELECT 1"), std::nullopt, TextEncoding::Cp932},
        {"leading_feff_as_cp932", feff + QStringLiteral("SELECT 1"), cp932, TextEncoding::Utf8Bom},
        {"leading_feff_as_utf8", feff + QStringLiteral("SELECT 1"), TextEncoding::Utf8,
         TextEncoding::Utf8Bom},
        {"leading_feff_as_utf8_bom", feff + QStringLiteral("SELECT 1"), TextEncoding::Utf8Bom,
         TextEncoding::Utf8Bom},
        {"two_leading_feff_as_utf8_bom", feff + feff + QStringLiteral("x"), TextEncoding::Utf8Bom,
         TextEncoding::Utf8Bom},
        {"feff_inside_as_utf8", QStringLiteral("SELECT ") + feff + QStringLiteral("1"),
         TextEncoding::Utf8, TextEncoding::Utf8},
    };
    for (const Row &row : rows) {
        const QString file = path("back.sql");
        const std::optional<SqlFileFormat> written =
            WriteSqlFile(file, row.text, EditedIn(row.requested));
        ASSERT_TRUE(written.has_value()) << row.name;
        EXPECT_EQ(written->encoding, row.written) << row.name;
        EXPECT_EQ(ReadSqlFile(file), row.text) << row.name;
    }
}

// Random texts from characters around the edges of CP932 and UTF-8, in every encoding the
// program writes: each must read back as it was.
TEST_F(SqlFileTest, RandomTextsReadBackAsTheyWereWritten) {
    const QString pool = QStringLiteral(
        "SELECT a,b FROM t WHERE x='\\~';\t\r\n"
        "あいうアイウ漢字顧客注文表ソ能ﾃｽｶﾞｧ｡･"
        "〜−‖¢£¬～－∥￠￡￢①Ⅰ㈱≒纊髙¥‾—―"
        "\u00e9\u00fc\u0416\u03a9\u2028\ufeff\ufffd\uff5e한국");
    const QString emoji = QStringLiteral("😀𠮷");  // two characters, each a surrogate pair
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    QRandomGenerator random(seed);
    int keptCp932 = 0;
    for (int n = 0; n < 3000; ++n) {
        QString text;
        const int length = random.bounded(1, 40);
        for (int i = 0; i < length; ++i) {
            if (random.bounded(10) == 0) {
                text += emoji.mid(2 * random.bounded(2), 2);
            } else if (random.bounded(10) == 0) {
                text += QChar(char16_t(random.bounded(0x20, 0xD800)));
            } else {
                text += pool.at(random.bounded(pool.size()));
            }
        }
        const QString crLfText = ToCrLf(text);
        for (const TextEncoding encoding :
             {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8Bom}) {
            TextEncoding used = encoding;
            const std::optional<QByteArray> bytes = EncodeText(text, encoding, &used);
            ASSERT_TRUE(bytes.has_value()) << text.toStdString();
            ASSERT_EQ(DecodeText(*bytes).text, text) << text.toStdString();
            keptCp932 += used == TextEncoding::Cp932;
        }
        if (n % 100 == 0) {  // the whole way through a file, with the file's line breaks
            const LineEnd style = LineEnd(random.bounded(3));
            const auto written =
                WriteSqlFile(path("random.sql"), crLfText,
                             SqlFileFormat{TextEncoding(random.bounded(3)), style, QByteArray()});
            ASSERT_TRUE(written.has_value()) << text.toStdString();
            ASSERT_EQ(ReadSqlFile(path("random.sql")), crLfText) << text.toStdString();
        }
    }
    EXPECT_GT(keptCp932, 0);  // the check does not simply refuse CP932
}

TEST_F(SqlFileTest, TextThatNoEncodingGivesBackIsNotWritten) {
    WriteBytes(path("keep.sql"), "old");
    RecordingPresenter presenter;
    const QString lone = QStringLiteral("SELECT '") + QChar(0xD800) + QStringLiteral("'");
    EXPECT_EQ(WriteSqlFile(path("keep.sql"), lone), std::nullopt);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("keep.sql")));
    EXPECT_EQ(ReadBytes(path("keep.sql")), QByteArray("old"));
}

TEST_F(SqlFileTest, ShiftJisFileFromAJapaneseSystemReadsBack) {
    // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
    WriteBytes(path("sjis.sql"), QByteArray("SELECT '\x95\x5c' -- \x83\x65\x83\x58\x83\x67\r\n"));
    SqlFileFormat format;
    format.encoding = TextEncoding::Utf8;
    EXPECT_EQ(ReadSqlFile(path("sjis.sql"), &format), QStringLiteral("SELECT '表' -- テスト\r\n"));
    EXPECT_EQ(format.encoding, TextEncoding::Cp932);
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
