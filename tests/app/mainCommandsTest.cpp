// The main window's file, editor, font, time-out, table and export commands, driven through
// their menu actions and real dialogs.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "core/clsMsg.h"
#include "core/desktopOpener.h"
#include "core/settings.h"
#include "data/basConnect.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "tests/files/xlsxReader.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

using DialogStep = std::function<void(QWidget *)>;

// Answers the modal dialogs of one command in turn, one step per dialog shown. A dialog that
// no step is left for (one that stayed open after its OK, or one not expected at all) fails
// the test and is closed, so that no test can block.
class DialogScript {
public:
    explicit DialogScript(QList<DialogStep> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(5);
    }
    ~DialogScript() { EXPECT_TRUE(steps_.isEmpty()) << steps_.size() << " dialog(s) not shown"; }
    DialogScript(const DialogScript &) = delete;
    DialogScript &operator=(const DialogScript &) = delete;

private:
    void answer() {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        if (steps_.isEmpty()) {
            ADD_FAILURE() << "dialog left open or not expected: "
                          << dialog->objectName().toStdString();
            if (auto *modal = qobject_cast<QDialog *>(dialog)) {
                modal->reject();
            } else {
                dialog->close();
            }
            return;
        }
        const DialogStep step = steps_.takeFirst();
        step(dialog);
    }

    QList<DialogStep> steps_;
    QTimer timer_;
};

QFileDialog *AsFileDialog(QWidget *dialog) {
    auto *files = qobject_cast<QFileDialog *>(dialog);
    EXPECT_NE(files, nullptr) << "not a file dialog: " << dialog->objectName().toStdString();
    return files;
}

// Picks `path` in the file dialog and accepts it.
DialogStep ChooseFile(const QString &path) {
    return [path](QWidget *dialog) {
        if (QFileDialog *files = AsFileDialog(dialog)) {
            files->selectFile(path);
            auto *buttons = files->findChild<QDialogButtonBox *>();
            ASSERT_NE(buttons, nullptr);
            QPushButton *accept = buttons->button(files->acceptMode() == QFileDialog::AcceptOpen
                                                      ? QDialogButtonBox::Open
                                                      : QDialogButtonBox::Save);
            ASSERT_NE(accept, nullptr);
            QTest::mouseClick(accept, Qt::LeftButton);
        }
    };
}

DialogStep Cancel() {
    return [](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); };
}

void PressButton(QWidget *dialog, const char *name) {
    auto *button = dialog->findChild<QPushButton *>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

class MainCommandsTest : public testing::Test {
protected:
    // The driver manager reads its data sources once per process.
    static void SetUpTestSuite() { RegisterSqliteSource(QStringLiteral("CommandSource")); }

    void SetUp() override {
        ClearSettings();
        ResetSharedState();
        window_ = std::make_unique<frmMain>();
        window_->show();
    }
    void TearDown() override {
        window_->mdiArea()->closeAllSubWindows();
        window_.reset();
        ResetSharedState();
    }

    void Trigger(const char *name) {
        QAction *action = window_->findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    QString Path(const char *name) const { return dir_.filePath(QString::fromUtf8(name)); }
    QueryEditor *Editor() const { return window_->ActiveDoc()->txtQry(); }

    QTemporaryDir dir_;
    std::unique_ptr<frmMain> window_;
};

// ---- Open and Save ----

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

// ---- Arrange ----

QString GoldenText(const char *name) {
    QFile file(TestSourceFolder() + QStringLiteral("/engines/golden/arrange-default/") +
               QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(file.readAll());
}

TEST_F(MainCommandsTest, ArrangeFormatsTheTextAndOneUndoTakesItBack) {
    window_->LoadNewDoc();
    const QString original = GoldenText("query.in.sql");
    Editor()->setText(original);
    const QString before = Editor()->Text();
    Trigger("mnuQryArrange");
    EXPECT_EQ(Editor()->Text(), GoldenText("query.out.sql"));
    QTest::keyClick(Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor()->Text(), before);
}

// Moves the default keyword file of the formatter away for the life of the object. The file is
// shared by every process of this test program, so its tests run one at a time (RUN_SERIAL).
class KeywordFileAway {
public:
    KeywordFileAway()
        : path_(QCoreApplication::applicationDirPath() + QStringLiteral("/KEYWORD_ARRANGE.CSV")),
          away_(path_ + QStringLiteral(".away")) {
        if (!QFile::exists(path_)) {
            QFile::rename(away_, path_);  // left away by an earlier run that did not finish
        }
        moved_ = QFile::rename(path_, away_);
    }
    ~KeywordFileAway() {
        if (moved_) {
            QFile::rename(away_, path_);
        }
    }
    bool moved() const { return moved_; }

private:
    QString path_;
    QString away_;
    bool moved_ = false;
};

TEST_F(MainCommandsTest, ArrangeWithoutItsKeywordFileKeepsTheText) {
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("select a from t"));
    RecordingPresenter presenter;
    {
        KeywordFileAway away;
        ASSERT_TRUE(away.moved());
        Trigger("mnuQryArrange");
    }
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.startsWith(QStringLiteral("53:")));
    EXPECT_EQ(presenter.boxes()[0].title, QStringLiteral("Tessory"));
    EXPECT_EQ(presenter.boxes()[0].style, 16);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("select a from t"));
}

// ---- Find, Find Next, Select All ----

// "select" at 0, "Select" at 18 and "SELECT" at 38, across CR LF line breaks.
const QString kFindText = QStringLiteral("select a\r\nfrom t\r\nSelect b\r\nwhere x = SELECT");

DialogStep SearchFor(const QString &word, bool matchCase) {
    return [word, matchCase](QWidget *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmSearch"));
        auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtWord"));
        auto *check = dialog->findChild<QCheckBox *>(QStringLiteral("chkUpperConv"));
        ASSERT_TRUE(box && check);
        box->setText(word);
        check->setChecked(matchCase);
        PressButton(dialog, "cmdOK");
    };
}

struct Selection {
    int start;
    int length;
    bool operator==(const Selection &) const = default;
};

void PrintTo(const Selection &selection, std::ostream *out) {
    *out << "(" << selection.start << ", " << selection.length << ")";
}

TEST_F(MainCommandsTest, FindIgnoringCaseStepsThroughTheTextWithoutWrapping) {
    window_->LoadNewDoc();
    Editor()->setText(kFindText);
    const auto selection = [this] {
        return Selection{Editor()->SelStart(), Editor()->SelLength()};
    };
    Editor()->setSelStart(1);  // just after the first occurrence
    {
        DialogScript script({SearchFor(QStringLiteral("select"), false)});
        Trigger("mnuEditSearch");
    }
    EXPECT_EQ(Settings::Read(Settings::SearchUpper), QStringLiteral("0"));
    EXPECT_EQ(selection(), (Selection{18, 6}));
    EXPECT_EQ(Editor()->SelText(), QStringLiteral("Select"));
    Trigger("mnuEditResearch");
    EXPECT_EQ(selection(), (Selection{38, 6}));
    Trigger("mnuEditResearch");  // no wrap-around: the last one stays selected
    EXPECT_EQ(selection(), (Selection{38, 6}));
}

TEST_F(MainCommandsTest, FindMatchingCaseSkipsOtherCasesAndCancelSearchesAgain) {
    window_->LoadNewDoc();
    Editor()->setText(kFindText);
    Editor()->setSelStart(0);
    {
        DialogScript script({SearchFor(QStringLiteral("SELECT"), true)});
        Trigger("mnuEditSearch");
    }
    EXPECT_EQ(Settings::Read(Settings::SearchUpper), QStringLiteral("1"));
    EXPECT_EQ(Editor()->SelText(), QStringLiteral("SELECT"));
    EXPECT_EQ(Editor()->SelStart(), 38);
    // Cancel keeps the word and searches from the caret: the selected occurrence again.
    {
        DialogScript script({[](QWidget *dialog) { PressButton(dialog, "cmdCancel"); }});
        Trigger("mnuEditSearch");
    }
    EXPECT_EQ(Editor()->SelStart(), 38);
    EXPECT_EQ(Editor()->SelLength(), 6);
}

TEST_F(MainCommandsTest, FindNextWithNoWordAsksAndAnEmptyWordSelectsNothing) {
    window_->LoadNewDoc();
    Editor()->setText(kFindText);
    Editor()->setSelStart(10);
    Editor()->setSelLength(4);  // "from"
    {
        DialogScript script({[](QWidget *dialog) { PressButton(dialog, "cmdCancel"); }});
        Trigger("mnuEditResearch");
    }
    EXPECT_EQ(Editor()->SelStart(), 14);
    EXPECT_EQ(Editor()->SelLength(), 0);
    EXPECT_EQ(Settings::Read(Settings::SearchUpper), QStringLiteral("0"));  // default, unwritten
}

TEST_F(MainCommandsTest, TheFoundWordIsScrolledIntoView) {
    window_->LoadNewDoc();
    QString text;
    for (int line = 0; line < 300; ++line) {
        text += QStringLiteral("line %1\r\n").arg(line);
    }
    Editor()->setText(text + QStringLiteral("target"));
    Editor()->setSelStart(0);
    {
        DialogScript script({SearchFor(QStringLiteral("target"), true)});
        Trigger("mnuEditSearch");
    }
    ASSERT_EQ(Editor()->SelText(), QStringLiteral("target"));
    EXPECT_TRUE(Editor()->viewport()->rect().contains(Editor()->cursorRect()));
}

TEST_F(MainCommandsTest, SelectAllCountsLineBreaksAsTwo) {
    window_->LoadNewDoc();
    Trigger("mnuEditAll");  // empty editor: nothing to select, no failure
    EXPECT_EQ(Editor()->SelLength(), 0);
    Editor()->setText(kFindText);
    Trigger("mnuEditAll");
    EXPECT_EQ(Editor()->SelStart(), 0);
    EXPECT_EQ(Editor()->SelLength(), kFindText.size());
    EXPECT_EQ(Editor()->SelText(), kFindText);
}

// ---- Time-out ----

TEST_F(MainCommandsTest, TimeoutFromTheDialogIsKeptThroughTheMainWindowsClose) {
    window_->LoadNewDoc();
    ASSERT_EQ(gCommand.CommandTimeout(), 30);
    const auto typeInto = [](const QString &keys, const char *button) {
        return [keys, button](QWidget *dialog) {
            EXPECT_EQ(dialog->objectName(), QStringLiteral("frmTimeout"));
            auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtTimeout"));
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, keys);
            PressButton(dialog, button);
        };
    };
    {
        DialogScript script({typeInto(QStringLiteral("99"), "cmdCancel")});
        Trigger("mnuQryTimeout");
    }
    EXPECT_EQ(gCommand.CommandTimeout(), 30);
    {
        DialogScript script({typeInto(QStringLiteral("0045"), "cmdOK")});
        Trigger("mnuQryTimeout");
    }
    EXPECT_EQ(gCommand.CommandTimeout(), 45);
    window_->close();
    EXPECT_EQ(Settings::Read(Settings::QueryTimeout), QStringLiteral("45"));
}

// ---- Font ----

TEST_F(MainCommandsTest, FontDialogStartsFromTheEditorAndAppliesToEditorAndGrid) {
    Settings::Write(Settings::FontName, QStringLiteral("DejaVu Sans Mono"));
    Settings::Write(Settings::FontSize, QStringLiteral("11"));
    frmSQL *other = window_->LoadNewDoc();
    frmSQL *doc = window_->LoadNewDoc();
    const QFont otherFont = other->txtQry()->font();
    {
        DialogScript script({[](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            ASSERT_NE(fonts, nullptr);
            EXPECT_EQ(fonts->currentFont().family(), QStringLiteral("DejaVu Sans Mono"));
            EXPECT_EQ(fonts->currentFont().pointSize(), 11);
            EXPECT_FALSE(fonts->currentFont().bold());
            QFont chosen(QStringLiteral("DejaVu Serif"), 14);
            chosen.setBold(true);
            chosen.setItalic(true);
            fonts->setCurrentFont(chosen);
            auto *buttons = fonts->findChild<QDialogButtonBox *>();
            ASSERT_NE(buttons, nullptr);
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        }});
        Trigger("mnuFontFont");
    }
    for (const QWidget *widget :
         {static_cast<QWidget *>(doc->txtQry()), static_cast<QWidget *>(doc->grdQry())}) {
        EXPECT_EQ(widget->font().family(), QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(widget->font().pointSize(), 14);
        EXPECT_TRUE(widget->font().bold());
        EXPECT_TRUE(widget->font().italic());
    }
    EXPECT_EQ(other->txtQry()->font(), otherFont);
    EXPECT_EQ(Settings::Read(Settings::FontName), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(Settings::Read(Settings::FontSize), QStringLiteral("14"));
    EXPECT_EQ(Settings::Read(Settings::FontBold), QStringLiteral("True"));
    EXPECT_EQ(Settings::Read(Settings::FontItalic), QStringLiteral("True"));
}

TEST_F(MainCommandsTest, FontSettingsAreWrittenEvenAfterCancel) {
    Settings::Write(Settings::FontName, QStringLiteral("DejaVu Sans"));
    Settings::Write(Settings::FontSize, QStringLiteral("9"));
    frmSQL *doc = window_->LoadNewDoc();
    const QFont before = doc->txtQry()->font();
    ClearSettings();
    {
        DialogScript script({[](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            ASSERT_NE(fonts, nullptr);
            fonts->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 20));
            fonts->reject();
        }});
        Trigger("mnuFontFont");
    }
    EXPECT_EQ(doc->txtQry()->font(), before);
    EXPECT_EQ(doc->grdQry()->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(Settings::Read(Settings::FontName), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(Settings::Read(Settings::FontSize), QStringLiteral("9"));
    EXPECT_EQ(Settings::Read(Settings::FontBold), QStringLiteral("False"));
    EXPECT_EQ(Settings::Read(Settings::FontItalic), QStringLiteral("False"));
}

// ---- Table list ----

class TableListCommandTest : public MainCommandsTest {
protected:
    void SetUp() override {
        MainCommandsTest::SetUp();
        const QString dsn = RegisterSqliteSource(QStringLiteral("CommandSource"));
        ASSERT_TRUE(OpenConnection(gConnection, dsn, QString(), QString()));
    }
    bool ListVisible() const {
        auto *action = window_->findChild<QAction *>(QStringLiteral("cboTableAction"));
        EXPECT_NE(action, nullptr);
        return action && action->isVisible();
    }
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < window_->cboTable()->count(); ++i) {
            items.append(window_->cboTable()->itemText(i));
        }
        return items;
    }
    void Exec(const QString &sql) {
        Recordset rs;
        rs.Open(sql, gConnection);
    }
};

TEST_F(TableListCommandTest, ListShowsOnSqliteAndIsHiddenWithoutAConnection) {
    Exec(QStringLiteral("CREATE TABLE [order lines] (a)"));
    window_->SetCboTable();
    EXPECT_TRUE(ListVisible());
    EXPECT_EQ(Items(), QStringList({QStringLiteral("\"order lines\"")}));
    ResetSharedState();  // closes the connection
    window_->SetCboTable();
    EXPECT_FALSE(ListVisible());
}

TEST_F(TableListCommandTest, RunsThatChangeTablesFillTheListAnew) {
    window_->SetCboTable();
    ASSERT_TRUE(Items().isEmpty());
    frmSQL *doc = window_->LoadNewDoc();
    const auto run = [&](const QString &text) {
        doc->txtQry()->setText(text);
        window_->mnuQryExec_Click();
    };
    run(QStringLiteral("CREATE TABLE fresh (a)\r\nGO\r\nCREATE VIEW 受注 AS SELECT 1 AS a"));
    EXPECT_EQ(Items(), QStringList({QStringLiteral("fresh"), QStringLiteral("受注")}));
    // A run without such a word leaves the list alone.
    window_->cboTable()->addItem(QStringLiteral("typed by hand"));
    run(QStringLiteral("SELECT * FROM fresh"));
    EXPECT_EQ(Items().size(), 3);
    // A failing batch ends the run, but the batch before it has dropped a table.
    RecordingPresenter presenter;
    run(QStringLiteral("DROP TABLE fresh\r\nGO\r\nSELECT * FROM no_such_table"));
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(Items(), QStringList({QStringLiteral("受注")}));
    // Only the selection runs when there is one.
    doc->txtQry()->setText(QStringLiteral("CREATE TABLE later (a)\r\nSELECT 1"));
    doc->txtQry()->setSelStart(int(QStringLiteral("CREATE TABLE later (a)\r\n").size()));
    doc->txtQry()->setSelLength(8);
    window_->cboTable()->addItem(QStringLiteral("typed by hand"));
    window_->mnuQryExec_Click();
    EXPECT_EQ(Items().size(), 2);
}

struct PickRow {
    const char *name;
    const char *table;
    const char *query;
};

void PrintTo(const PickRow &row, std::ostream *out) {
    *out << row.name;
}

class TablePick : public TableListCommandTest, public testing::WithParamInterface<PickRow> {};

TEST_P(TablePick, PickWithNoWindowOpensOneWithTheQuery) {
    const PickRow &row = GetParam();
    ASSERT_EQ(gDocCount, 0);
    QComboBox *list = window_->cboTable();
    list->clear();
    list->addItems({QStringLiteral("first"), QString::fromUtf8(row.table)});
    window_->cboTable_Click(1);
    ASSERT_EQ(gDocCount, 1);
    EXPECT_EQ(Editor()->Text(), QString::fromUtf8(row.query));
    EXPECT_EQ(Editor()->SelStart(), 0);
    EXPECT_EQ(Editor()->SelLength(), 0);

    Editor()->setText(QStringLiteral("a long\r\nquery text\r\nthat goes"));
    Editor()->setSelStart(12);
    window_->cboTable_Click(0);
    EXPECT_EQ(gDocCount, 1);
    EXPECT_EQ(Editor()->Text(), QStringLiteral("SELECT * FROM first"));
    EXPECT_EQ(Editor()->SelStart(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TablePick,
    // The list (or the user's typing) holds each name as it stands in a query.
    testing::Values(PickRow{"regular", "Orders", "SELECT * FROM Orders"},
                    PickRow{"space", "\"order lines\"", "SELECT * FROM \"order lines\""},
                    PickRow{"qualified", "other.\"a b\"", "SELECT * FROM other.\"a b\""},
                    PickRow{"japanese", "受注", "SELECT * FROM 受注"}),
    [](const testing::TestParamInfo<PickRow> &info) { return info.param.name; });

// ---- Export ----

class RecordingOpener final : public DesktopOpener {
public:
    RecordingOpener() : previous_(SetDesktopOpener(this)) {}
    ~RecordingOpener() override { SetDesktopOpener(previous_); }
    bool open(const QString &path) override {
        opened.append(path);
        return answer;
    }
    QStringList opened;
    bool answer = true;

private:
    DesktopOpener *previous_;
};

// Points the user's documents folder into the test folder through the desktop's user-dirs file.
class DocumentsFolder {
public:
    explicit DocumentsFolder(const QString &folder)
        : file_(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
                QStringLiteral("/user-dirs.dirs")) {
        QDir().mkpath(folder);
        WriteBytes(file_, "XDG_DOCUMENTS_DIR=\"" + folder.toUtf8() + "\"\n");
    }
    ~DocumentsFolder() { QFile::remove(file_); }

private:
    QString file_;
};

class ExportCommandTest : public TableListCommandTest {};

TEST_F(ExportCommandTest, ExportWritesTheRunAgainResultAndHandsItOver) {
    const QString documents = Path("documents");
    DocumentsFolder folder(documents);
    RecordingOpener opener;
    window_->LoadNewDoc();
    Editor()->setText(
        QStringLiteral("SELECT '007' AS code, NULL AS empty_col, '日本語' AS jp\r\n"
                       "UNION ALL SELECT '1', 'x', 'y'"));
    Trigger("mnuToolExcel");
    ASSERT_EQ(opener.opened.size(), 1);
    const QString path = opener.opened[0];
    EXPECT_EQ(QFileInfo(path).absolutePath(), documents + QStringLiteral("/Tessory"));
    EXPECT_TRUE(path.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(window_->PanelText(QStringLiteral("MESSAGE")), path);
    const ReadBack back = ReadXlsx(path);
    ASSERT_EQ(back.rows.size(), 3);
    EXPECT_EQ(back.value(0, 0).toString(), QStringLiteral("code"));
    EXPECT_EQ(back.value(0, 2).toString(), QStringLiteral("jp"));
    EXPECT_EQ(back.value(1, 0).toString(), QStringLiteral("007"));
    EXPECT_TRUE(back.value(1, 1).isNull() || back.value(1, 1).toString().isEmpty());
    EXPECT_EQ(back.value(1, 2).toString(), QStringLiteral("日本語"));
    EXPECT_EQ(back.value(2, 1).toString(), QStringLiteral("x"));
    EXPECT_EQ(window_->ActiveDoc()->RecordSet().State(), 0);  // handed over to the workbook
}

TEST_F(ExportCommandTest, NoApplicationForTheWorkbookIsReportedWithItsPath) {
    DocumentsFolder folder(Path("documents"));
    RecordingOpener opener;
    opener.answer = false;
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("SELECT 1 AS a"));
    RecordingPresenter presenter;
    Trigger("mnuToolExcel");
    ASSERT_EQ(opener.opened.size(), 1);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(opener.opened[0]));
    EXPECT_TRUE(QFile::exists(opener.opened[0]));
}

TEST_F(ExportCommandTest, AFailedRunMakesNoWorkbook) {
    const QString documents = Path("documents");
    DocumentsFolder folder(documents);
    RecordingOpener opener;
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("SELECT * FROM no_such_table"));
    RecordingPresenter presenter;
    Trigger("mnuToolExcel");
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_FALSE(QDir(documents + QStringLiteral("/Tessory")).exists() &&
                 !QDir(documents + QStringLiteral("/Tessory")).isEmpty());
}

}  // namespace
