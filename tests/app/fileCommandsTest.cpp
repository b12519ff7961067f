// The main window's Open and Save commands: the file dialogs, the questions before a new or an
// existing file, and the encodings and line breaks a file is read and written in.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include "core/clsMsg.h"
#include "core/settings.h"
#include "tests/app/mainCommandsFixture.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/recordingPresenter.h"

namespace {

struct RoundTripRow {
    const char *name;
    QByteArray bytes;  // the file as it is on disk
    const char *text;  // what the editor shows (UTF-8)
    QByteArray saved;  // what Save writes back
};

void PrintTo(const RoundTripRow &row, std::ostream *out) {
    *out << row.name;
}

class OpenSaveRoundTrip : public MainCommandsTest,
                          public testing::WithParamInterface<RoundTripRow> {};

TEST_P(OpenSaveRoundTrip, SavedFileKeepsTheEncodingItWasReadIn) {
    const RoundTripRow &row = GetParam();
    const QString source = Path("source.sql");
    const QString target = Path("target.sql");
    WriteBytes(source, row.bytes);
    window_->LoadNewDoc();
    RecordingPresenter presenter;
    {
        DialogScript script({ChooseFile(source)});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(Editor()->Text(), QString::fromUtf8(row.text));
    EXPECT_EQ(window_->ActiveDoc()->Caption(), source);
    presenter.queueAnswer(MessageResult::Yes);  // create the new file
    {
        DialogScript script({ChooseFile(target)});
        Trigger("mnuFileSave");
    }
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("ファイルを作成しますか")));
    EXPECT_EQ(ReadBytes(target), row.saved);
    EXPECT_EQ(window_->ActiveDoc()->Caption(), target);
    EXPECT_EQ(Settings::Read(Settings::OpenSql), source);
    EXPECT_EQ(Settings::Read(Settings::SaveSql), target);
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenSaveRoundTrip,
    testing::Values(
        // "SELECT 'あい'" in Shift-JIS
        RoundTripRow{"cp932", QByteArray("SELECT '\x82\xa0\x82\xa2'\r\nFROM t\r\n"),
                     "SELECT 'あい'\r\nFROM t\r\n",
                     QByteArray("SELECT '\x82\xa0\x82\xa2'\r\nFROM t\r\n")},
        RoundTripRow{"utf8", QByteArray("SELECT 'あい'\r\nFROM t\r\n"),
                     "SELECT 'あい'\r\nFROM t\r\n", QByteArray("SELECT 'あい'\r\nFROM t\r\n")},
        RoundTripRow{"utf8_bom", QByteArray("\xef\xbb\xbfSELECT '\xe2\x91\xa0'\r\n"),
                     "SELECT '\xe2\x91\xa0'\r\n",
                     QByteArray("\xef\xbb\xbfSELECT '\xe2\x91\xa0'\r\n")},
        RoundTripRow{"cr_only_lines", QByteArray("a\rb\rc"), "a\r\nb\r\nc", QByteArray("a\rb\rc")},
        RoundTripRow{"lf_lines", QByteArray("SELECT 1\nSELECT 2\n"), "SELECT 1\r\nSELECT 2\r\n",
                     QByteArray("SELECT 1\nSELECT 2\n")},
        RoundTripRow{"lf_no_final_break", QByteArray("SELECT 1\nSELECT 2"), "SELECT 1\r\nSELECT 2",
                     QByteArray("SELECT 1\nSELECT 2")},
        RoundTripRow{"crlf_no_final_break", QByteArray("SELECT 1\r\nGO"), "SELECT 1\r\nGO",
                     QByteArray("SELECT 1\r\nGO")},
        RoundTripRow{"mixed_lines", QByteArray("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\r\nd\r\n",
                     QByteArray("a\nb\r\nc\rd\n")},
        RoundTripRow{"cp932_lf", QByteArray("SELECT '\x82\xa0'\n"), "SELECT 'あ'\r\n",
                     QByteArray("SELECT '\x82\xa0'\n")}),
    [](const testing::TestParamInfo<RoundTripRow> &info) { return info.param.name; });

TEST_F(MainCommandsTest, TextThatShiftJisCannotHoldIsSavedAsUtf8Instead) {
    const QString file = Path("sjis.sql");
    WriteBytes(file, QByteArray("SELECT '\x82\xa0'\r\n"));
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileOpen");
    }
    Editor()->setText(Editor()->Text() + QStringLiteral("-- 한국어\r\n"));
    RecordingPresenter presenter;
    presenter.queueAnswer(MessageResult::Yes);  // overwrite
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileSave");
    }
    EXPECT_EQ(ReadBytes(file), QByteArray("\xef\xbb\xbf") + "SELECT 'あ'\r\n-- 한국어\r\n");
}

TEST_F(MainCommandsTest, AnEditedFileKeepsItsLineBreaks) {
    const QString file = Path("lf.sql");
    WriteBytes(file, "SELECT 1\nFROM t\n");
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(Editor()->document()->blockCount(), 3);  // two lines and the place after them
    Editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(Editor(), QStringLiteral("WHERE x = 1"));
    QTest::keyClick(Editor(), Qt::Key_Return);
    RecordingPresenter presenter;
    presenter.queueAnswer(MessageResult::Yes);  // overwrite
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileSave");
    }
    EXPECT_EQ(ReadBytes(file), QByteArray("SELECT 1\nFROM t\nWHERE x = 1\n"));
}

// Texts that Shift-JIS would not give back as they are: each is saved so that it opens again
// unchanged.
TEST_F(MainCommandsTest, ASavedTextOpensAgainAsItWas) {
    const QString texts[] = {
        QStringLiteral("SELECT 'ﾃｽ' AS x"),  // its Shift-JIS bytes are also UTF-8
        QStringLiteral("SELECT '〜 − ‖ ¢ £ ¬'"),
        QString(QChar(0xFEFF)) + QStringLiteral("SELECT 1"),
        QStringLiteral("SELECT '顧客'"),
    };
    int n = 0;
    for (const QString &text : texts) {
        const QString file = Path("typed.sql").replace(".sql", QString::number(++n) + ".sql");
        window_->LoadNewDoc();
        Editor()->setText(text);
        RecordingPresenter presenter;
        presenter.queueAnswer(MessageResult::Yes);  // create the file
        {
            DialogScript script({ChooseFile(file)});
            Trigger("mnuFileSave");
        }
        window_->LoadNewDoc();
        {
            DialogScript script({ChooseFile(file)});
            Trigger("mnuFileOpen");
        }
        EXPECT_EQ(Editor()->Text(), text) << text.toStdString();
    }
}

// Lets file permissions count for this thread as for an ordinary user, also when the tests run
// as root, whose rights would let every write through.
class WithoutRootFileRights {
public:
    WithoutRootFileRights() : dropped_(geteuid() == 0) {
        if (dropped_) {
            setfsuid(65534);
        }
    }
    ~WithoutRootFileRights() {
        if (dropped_) {
            setfsuid(0);
        }
    }
    WithoutRootFileRights(const WithoutRootFileRights &) = delete;
    WithoutRootFileRights &operator=(const WithoutRootFileRights &) = delete;

private:
    bool dropped_;
};

TEST_F(MainCommandsTest, AFailedSaveLeavesTheWindowWithItsFile) {
    const QString source = Path("source.sql");
    WriteBytes(source, "SELECT 1\n");
    const QString locked = Path("locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    const QString target = locked + QStringLiteral("/target.sql");
    WriteBytes(target, "old text");
    const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), readable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(
        target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(locked, readable));  // no new file can be made in it
    {
        DialogScript script({ChooseFile(source)});
        Trigger("mnuFileOpen");
    }
    Editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(Editor(), QStringLiteral("-- edited"));
    RecordingPresenter presenter;
    presenter.queueAnswer(MessageResult::Yes);  // overwrite
    {
        WithoutRootFileRights user;
        DialogScript script({ChooseFile(target)});
        Trigger("mnuFileSave");
    }
    QFile::setPermissions(locked, readable | QFile::WriteOwner);
    ASSERT_EQ(presenter.boxes().size(), 2);
    EXPECT_TRUE(presenter.boxes()[1].text.contains(QStringLiteral("書き込めません")));
    EXPECT_EQ(ReadBytes(target), QByteArray("old text"));
    EXPECT_EQ(window_->ActiveDoc()->Caption(), source);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("SELECT 1\r\n-- edited"));

    // The window still writes its text as its own file's: with LF.
    presenter.queueAnswer(MessageResult::Yes);  // create
    {
        DialogScript script({ChooseFile(Path("copy.sql"))});
        Trigger("mnuFileSave");
    }
    EXPECT_EQ(ReadBytes(Path("copy.sql")), QByteArray("SELECT 1\n-- edited"));
    EXPECT_EQ(window_->ActiveDoc()->Caption(), Path("copy.sql"));
}

// A file that is there but cannot be read leaves the window with its text, its name and the
// format of its own file; only the error box tells of it.
TEST_F(MainCommandsTest, AFileThatCannotBeReadLeavesTheWindowAsItWas) {
    const QString source = Path("source.sql");
    WriteBytes(source, "SELECT 1\n");
    const QString unreadable = Path("unreadable.sql");
    WriteBytes(unreadable, "SELECT 2\r\n");
    const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), readable | QFile::WriteOwner));
    // Writable, so that the open dialog takes it, but not readable.
    ASSERT_TRUE(QFile::setPermissions(unreadable,
                                      QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    {
        DialogScript script({ChooseFile(source)});
        Trigger("mnuFileOpen");
    }
    Editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(Editor(), QStringLiteral("-- edited"));
    RecordingPresenter presenter;
    {
        WithoutRootFileRights user;
        DialogScript script({ChooseFile(unreadable)});
        Trigger("mnuFileOpen");
    }
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("読み込めません")));
    EXPECT_EQ(gDocCount, 1);
    EXPECT_EQ(window_->ActiveDoc()->Caption(), source);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("SELECT 1\r\n-- edited"));

    // The window still writes its text as its own file's: with LF.
    presenter.queueAnswer(MessageResult::Yes);  // create
    {
        DialogScript script({ChooseFile(Path("copy.sql"))});
        Trigger("mnuFileSave");
    }
    EXPECT_EQ(ReadBytes(Path("copy.sql")), QByteArray("SELECT 1\n-- edited"));
}

TEST_F(MainCommandsTest, OpenWithNoWindowOpensOneAndRemembersThePath) {
    const QString file = Path("query.sql");
    WriteBytes(file, "SELECT 1");
    ASSERT_EQ(gDocCount, 0);
    {
        DialogScript script({Cancel()});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(gDocCount, 0);  // Cancel opens no window
    {
        DialogScript script({[&](QWidget *dialog) {
            QFileDialog *files = AsFileDialog(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptOpen);
            EXPECT_EQ(files->selectedNameFilter(), QStringLiteral("SQLファイル (*.sql)"));
            EXPECT_EQ(files->nameFilters().size(), 2);
            EXPECT_EQ(files->directory().absolutePath(), QDir::rootPath());  // nothing stored
            ChooseFile(file)(dialog);
        }});
        Trigger("mnuFileOpen");
    }
    ASSERT_EQ(gDocCount, 1);
    EXPECT_EQ(window_->ActiveDoc()->Caption(), file);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("SELECT 1"));
    EXPECT_EQ(Settings::Read(Settings::OpenSql), file);

    // The next Open starts at that file, and Cancel there changes nothing.
    Editor()->setText(QStringLiteral("edited"));
    {
        DialogScript script({[&](QWidget *dialog) {
            QFileDialog *files = AsFileDialog(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->directory().absolutePath(), dir_.path());
            EXPECT_EQ(files->selectedFiles(), QStringList{file});
            files->reject();
        }});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(gDocCount, 1);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("edited"));
    EXPECT_EQ(Settings::Read(Settings::OpenSql), file);
}

TEST_F(MainCommandsTest, OpenReplacesOnlyTheActiveWindowsText) {
    const QString file = Path("other.sql");
    WriteBytes(file, "SELECT 2\r\n");
    frmSQL *first = window_->LoadNewDoc();
    first->txtQry()->setText(QStringLiteral("first"));
    window_->LoadNewDoc();
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(gDocCount, 2);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("SELECT 2\r\n"));
    EXPECT_EQ(first->txtQry()->Text(), QStringLiteral("first"));
    EXPECT_EQ(first->Caption(), QStringLiteral("無題1"));
}

TEST_F(MainCommandsTest, OpenOfANewNameAsksAndGivesAnEmptyWindowWithThatCaption) {
    const QString file = Path("new.sql");
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("old"));
    RecordingPresenter presenter;
    presenter.queueAnswer(MessageResult::No);  // back to the dialog, which is then cancelled
    {
        DialogScript script({ChooseFile(file), Cancel()});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("old"));
    EXPECT_EQ(window_->ActiveDoc()->Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(Settings::Read(Settings::OpenSql), QString());

    presenter.queueAnswer(MessageResult::Yes);
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileOpen");
    }
    EXPECT_EQ(Editor()->Text(), QString());
    EXPECT_EQ(window_->ActiveDoc()->Caption(), file);
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(MainCommandsTest, SaveOfAnEmptyEditorKeepsTheFileButTakesItsName) {
    const QString file = Path("keep.sql");
    WriteBytes(file, "SELECT 3\r\n");
    window_->LoadNewDoc();
    RecordingPresenter presenter;
    presenter.queueAnswer(MessageResult::Yes);  // overwrite
    {
        DialogScript script({ChooseFile(file)});
        Trigger("mnuFileSave");
    }
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("上書きしますか")));
    EXPECT_EQ(ReadBytes(file), QByteArray("SELECT 3\r\n"));
    EXPECT_EQ(window_->ActiveDoc()->Caption(), file);
    EXPECT_EQ(Settings::Read(Settings::SaveSql), file);
}

TEST_F(MainCommandsTest, SaveOffersTheLastSavedPathOrTheWindowsOwnFile) {
    const QString saved = Path("saved.sql");
    const QString own = Path("own.sql");
    WriteBytes(own, "SELECT 4\r\n");
    Settings::Write(Settings::SaveSql, saved);
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("SELECT 5"));
    // An untitled window starts at the last saved path; Cancel changes nothing.
    {
        DialogScript script({[&](QWidget *dialog) {
            QFileDialog *files = AsFileDialog(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(files->selectedFiles(), QStringList{saved});
            files->reject();
        }});
        Trigger("mnuFileSave");
    }
    EXPECT_EQ(window_->ActiveDoc()->Caption(), QStringLiteral("無題1"));
    EXPECT_FALSE(QFile::exists(saved));
    EXPECT_EQ(Settings::Read(Settings::SaveSql), saved);

    {
        DialogScript script({ChooseFile(own)});
        Trigger("mnuFileOpen");
    }
    {
        DialogScript script({[&](QWidget *dialog) {
            QFileDialog *files = AsFileDialog(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->selectedFiles(), QStringList{own});
            files->reject();
        }});
        Trigger("mnuFileSave");
    }
}

TEST_F(MainCommandsTest, DecliningTheOverwriteReturnsToTheDialog) {
    const QString file = Path("guarded.sql");
    WriteBytes(file, "old");
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("new"));
    RecordingPresenter presenter;
    presenter.queueAnswer(MessageResult::No);
    {
        DialogScript script({ChooseFile(file), Cancel()});
        Trigger("mnuFileSave");
    }
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(ReadBytes(file), QByteArray("old"));
    EXPECT_EQ(window_->ActiveDoc()->Caption(), QStringLiteral("無題1"));
    EXPECT_EQ(Settings::Read(Settings::SaveSql), QString());
}

}  // namespace
