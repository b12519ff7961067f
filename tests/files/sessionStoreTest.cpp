#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

#include "core/failure.h"
#include "files/sessionFolder.h"
#include "files/sessionStore.h"
#include "files/sessionWriter.h"
#include "tests/support/testEnvironment.h"

namespace {

Session SampleSession() {
    SessionWindow untitled;
    untitled.text = QStringLiteral("SELECT 1;\r\n-- 日本語 \"quoted\" \\ {}\r\n\t\u0000end");
    untitled.caption = QStringLiteral("無題3");
    untitled.caret = 12;
    untitled.verticalScroll = 40;
    untitled.horizontalScroll = 7;
    untitled.fontFamily = QStringLiteral("DejaVu Sans Mono");
    untitled.fontPointSize = 10.5;
    untitled.fontBold = true;
    SessionWindow file;
    file.text = QStringLiteral("UPDATE t SET a = 'ｱ';");
    file.caption = QStringLiteral("/home/u/クエリ.sql");
    file.filePath = file.caption;
    file.encoding = TextEncoding::Utf8Bom;
    file.lineEnd = LineEnd::Lf;
    file.fontItalic = true;
    SessionWindow closed;
    closed.text = QStringLiteral("DELETE FROM t;");
    closed.caption = QStringLiteral("無題1");
    closed.encoding = TextEncoding::Cp932;
    closed.lineEnd = LineEnd::Cr;
    closed.closedAt = 1'800'000'000'123;
    return Session{{untitled, file}, 1, {closed}};
}

TEST(SessionStoreTest, ASessionReadsBackAsItWasWritten) {
    const Session session = SampleSession();
    const std::optional<Session> read = DecodeSession(EncodeSession(session));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->windows.size(), 2);
    EXPECT_EQ(read->windows[0].text, session.windows[0].text);
    EXPECT_TRUE(*read == session);
    EXPECT_TRUE(DecodeSession(EncodeSession(Session{})) == Session{});
}

struct DamagedRow {
    const char *name;
    QByteArray bytes;
};

void PrintTo(const DamagedRow &row, std::ostream *out) {
    *out << row.name;
}

QByteArray Truncated() {
    const QByteArray whole = EncodeSession(SampleSession());
    return whole.left(whole.size() / 2);
}

QByteArray Garbage() {
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.append(char((i * 7919 + 13) % 256));
    }
    return bytes;
}

QByteArray Replace(const char *from, const char *to) {
    return EncodeSession(SampleSession()).replace(from, to);
}

class DamagedSessionTest : public testing::TestWithParam<DamagedRow> {};

TEST_P(DamagedSessionTest, IsNotRead) {
    QString reason;
    EXPECT_FALSE(DecodeSession(GetParam().bytes, &reason).has_value());
    EXPECT_FALSE(reason.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSessionTest,
    testing::Values(
        DamagedRow{"empty", QByteArray()}, DamagedRow{"truncated", Truncated()},
        DamagedRow{"binary_garbage", Garbage()},
        DamagedRow{"newer_version", Replace("\"version\":1", "\"version\":2")},
        DamagedRow{"version_as_text", Replace("\"version\":1", "\"version\":\"1\"")},
        DamagedRow{"another_format", Replace("tessory-session", "other-program")},
        DamagedRow{"json_array", "[1,2,3]"},
        DamagedRow{"windows_not_a_list", Replace("\"windows\":[", "\"windows\":{\"a\":[")
                                             .replace("],\"closed\"", "]},\"closed\"")},
        DamagedRow{"window_not_an_object", Replace("\"windows\":[", "\"windows\":[7,")},
        DamagedRow{"text_is_a_number", Replace("\"text\":\"UPDATE", "\"text\":5,\"x\":\"")},
        DamagedRow{"caret_is_text", Replace("\"caret\":12", "\"caret\":\"12\"")},
        DamagedRow{"caret_negative", Replace("\"caret\":12", "\"caret\":-1")},
        DamagedRow{"caret_fraction", Replace("\"caret\":12", "\"caret\":1.5")},
        DamagedRow{"bold_is_a_number", Replace("\"fontBold\":true", "\"fontBold\":1")},
        DamagedRow{"unknown_encoding", Replace("utf-8-bom", "ebcdic")},
        DamagedRow{"unknown_line_end", Replace("\"lf\"", "\"nel\"")}),
    [](const testing::TestParamInfo<DamagedRow> &info) { return std::string(info.param.name); });

TEST(SessionStoreTest, AnOlderVersionAndMissingOptionalValuesRead) {
    const std::optional<Session> read = DecodeSession(
        R"({"format":"tessory-session","version":1,"windows":[{"text":"x"}],"activeWindow":9})");
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->windows.size(), 1);
    EXPECT_EQ(read->windows[0].text, QStringLiteral("x"));
    EXPECT_FALSE(read->windows[0].encoding.has_value());
    EXPECT_EQ(read->activeWindow, 0);  // out of range: the first window
}

TEST(SessionStoreTest, DurableWriteReplacesTheFileAndLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.json"));
    WriteFileDurably(path, "old");
    WriteFileDurably(path, "new");
    EXPECT_EQ(ReadBytes(path), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("s.json")});
    // A folder that does not exist: a failure, and nothing written.
    EXPECT_THROW(WriteFileDurably(dir.filePath(QStringLiteral("none/s.json")), "x"), Failure);
}

TEST(SessionStoreTest, DamagedFileIsRenamedBesideItNeverDeleted) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session-1.json"));
    WriteBytes(path, "{broken");
    const QString first = SetAsideDamaged(path);
    WriteBytes(path, "{broken again");
    const QString second = SetAsideDamaged(path);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(first.startsWith(path + QStringLiteral(".damaged-"))) << first.toStdString();
    EXPECT_NE(first, second);
    EXPECT_EQ(ReadBytes(first), QByteArray("{broken"));
    EXPECT_EQ(ReadBytes(second), QByteArray("{broken again"));
}

Session OneWindow(const char *text) {
    SessionWindow window;
    window.text = QString::fromUtf8(text);
    return Session{{window}, 0, {}};
}

TEST(SessionFolderTest, ARunningProgramsSessionIsLeftAloneAnEndedOnesIsTakenOver) {
    QTemporaryDir dir;
    auto first = std::make_unique<SessionFolder>(dir.path());
    WriteFileDurably(first->SessionPath(), EncodeSession(OneWindow("first")));
    {
        SessionFolder second(dir.path());
        EXPECT_NE(second.SessionPath(), first->SessionPath());
        EXPECT_TRUE(second.TakeOver().sessions.isEmpty());  // the first one still runs
    }
    const QString firstPath = first->SessionPath();
    first.reset();  // ends normally: its session stays, unlocked
    EXPECT_TRUE(QFileInfo::exists(firstPath));
    EXPECT_FALSE(QFileInfo::exists(SessionLockPath(firstPath)));

    SessionFolder third(dir.path());
    SessionFolder::Leftovers leftovers = third.TakeOver();
    ASSERT_EQ(leftovers.sessions.size(), 1);
    EXPECT_EQ(leftovers.sessions[0].windows[0].text, QStringLiteral("first"));
    {
        // Taken over but not yet dropped: nobody else takes it too.
        SessionFolder fourth(dir.path());
        EXPECT_TRUE(fourth.TakeOver().sessions.isEmpty());
    }
    third.DropTaken();
    EXPECT_FALSE(QFileInfo::exists(firstPath));
    SessionFolder fifth(dir.path());
    EXPECT_TRUE(fifth.TakeOver().sessions.isEmpty());
}

TEST(SessionFolderTest, TheSessionOfAProcessThatDiedIsTakenOver) {
    QTemporaryDir dir;
    // A shell that reports its own process id and ends: the id names no process any more.
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")});
    ASSERT_TRUE(shell.waitForFinished());
    const QByteArray pid = shell.readAllStandardOutput().trimmed();
    ASSERT_FALSE(pid.isEmpty());

    const QString path = dir.filePath(QStringLiteral("session-dead.json"));
    WriteBytes(path, EncodeSession(OneWindow("typed before the crash")));
    WriteBytes(SessionLockPath(path), pid + "\nsh\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    const QString live = dir.filePath(QStringLiteral("session-live.json"));
    WriteBytes(live, EncodeSession(OneWindow("still running")));
    QLockFile liveLock(SessionLockPath(live));
    ASSERT_TRUE(liveLock.tryLock(0));

    SessionFolder folder(dir.path());
    const SessionFolder::Leftovers leftovers = folder.TakeOver();
    ASSERT_EQ(leftovers.sessions.size(), 1);
    EXPECT_EQ(leftovers.sessions[0].windows[0].text, QStringLiteral("typed before the crash"));
}

TEST(SessionFolderTest, DamagedSessionsAreSetAsideAndTheOthersStillRead) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(QStringLiteral("session-a.json")), "");
    WriteBytes(dir.filePath(QStringLiteral("session-b.json")), EncodeSession(OneWindow("good")));
    WriteBytes(dir.filePath(QStringLiteral("session-c.json")), Garbage());
    // Locks without a session beside them: an unreadable one from long ago, and a fresh one
    // whose owner may still be writing it.
    const QString oldLock = dir.filePath(QStringLiteral("session-d.lock"));
    WriteBytes(oldLock, "");
    QFile old(oldLock);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                QFileDevice::FileModificationTime));
    old.close();
    WriteBytes(dir.filePath(QStringLiteral("session-e.lock")), "");
    SessionFolder folder(dir.path());
    const SessionFolder::Leftovers leftovers = folder.TakeOver();
    ASSERT_EQ(leftovers.sessions.size(), 1);
    EXPECT_EQ(leftovers.sessions[0].windows[0].text, QStringLiteral("good"));
    ASSERT_EQ(leftovers.setAside.size(), 2);
    for (const QString &path : leftovers.setAside) {
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        EXPECT_TRUE(path.contains(QStringLiteral(".json.damaged-"))) << path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(oldLock));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("session-e.lock"))));
}

TEST(SessionWriterTest, WritesTheLatestStateOfEachFileAndFlushWaitsForIt) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    std::atomic<bool> release = false;
    std::atomic<int> produced = 0;
    QStringList failures;  // written by the writer's thread, read after Flush
    SessionWriter writer(
        [&failures](const Failure &failure) { failures.append(failure.description); });
    // The first job holds the writer while the states of b pile up behind it.
    writer.Submit(a, [&release] {
        while (!release) {
            std::this_thread::yield();
        }
        return QByteArray("a");
    });
    for (int i = 0; i < 50; ++i) {
        writer.Submit(b, [i, &produced] {
            ++produced;
            return QByteArray::number(i);
        });
    }
    release = true;
    writer.Flush();
    EXPECT_EQ(ReadBytes(a), QByteArray("a"));
    EXPECT_EQ(ReadBytes(b), QByteArray("49"));
    EXPECT_EQ(produced, 1);  // states replaced while waiting are never made nor written
    EXPECT_EQ(writer.Writes(), 2);
    writer.Submit(dir.filePath(QStringLiteral("none/c")), [] { return QByteArray("c"); });
    writer.Flush();
    EXPECT_EQ(writer.Failures(), 1);
    EXPECT_EQ(writer.Writes(), 2);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("none/c"))) << failures[0].toStdString();
}

}  // namespace
