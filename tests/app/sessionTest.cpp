#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "app/sessionKeeper.h"
#include "core/clsMsg.h"
#include "files/basSqlFile.h"
#include "files/sessionStore.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

using namespace std::chrono_literals;

// Presses Cancel in the connection dialog that StartUp shows.
void CancelConnectDialog() {
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
    });
}

QStringList Captions(const frmMain &window) {
    QStringList captions;
    for (frmSQL *doc : window.Docs()) {
        captions.append(doc->Caption());
    }
    return captions;
}

QStringList Texts(const frmMain &window) {
    QStringList texts;
    for (frmSQL *doc : window.Docs()) {
        texts.append(doc->txtQry()->Text());
    }
    return texts;
}

class SessionTest : public testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ResetSharedState();
    }
    void TearDown() override { ResetSharedState(); }

    QString folder() const { return dir_.filePath(QStringLiteral("sessions")); }
    QTemporaryDir dir_;
};

TEST_F(SessionTest, TextsTypedInTwoWindowsComeBackAfterTheProgramIsClosed) {
    const QString sqlPath = dir_.filePath(QStringLiteral("q.sql"));
    WriteBytes(sqlPath, "SELECT 1\nFROM t\n");  // UTF-8 (ASCII) with LF
    {
        frmMain window;
        SessionKeeper session(window, folder());
        CancelConnectDialog();
        StartUp(window, {}, &session);
        ASSERT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
        QTest::keyClicks(window.ActiveDoc()->txtQry(), QStringLiteral("SELECT "));
        window.ActiveDoc()->txtQry()->insertPlainText(
            QStringLiteral("'いろは'"));  // as an input method
        frmSQL *second = window.LoadNewDoc();
        window.LoadSqlFile(second, sqlPath);
        QTest::keyClicks(second->txtQry(), QStringLiteral("-- edited "));
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPointSize(13);
        font.setBold(true);
        second->txtQry()->setFont(font);
        second->txtQry()->setSelStart(3);
        window.mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow *>(window.Docs()[0]->parentWidget()));
        window.findChild<QAction *>(QStringLiteral("mnuFileEnd"))->trigger();
        EXPECT_TRUE(session.ClosedDocs().isEmpty());  // closed with the program, not by the user
    }
    ResetSharedState();
    frmMain window;
    SessionKeeper session(window, folder());
    CancelConnectDialog();
    StartUp(window, {}, &session);
    // Untitled windows are numbered anew in the order they come back; a file keeps its path.
    EXPECT_EQ(Captions(window), (QStringList{QStringLiteral("無題1"), sqlPath}));
    EXPECT_EQ(Texts(window), (QStringList{QStringLiteral("SELECT 'いろは'"),
                                          QStringLiteral("SELECT 1\r\nFROM t\r\n-- edited ")}));
    frmSQL *second = window.Docs()[1];
    ASSERT_TRUE(second->FileFormat().has_value());
    EXPECT_EQ(second->FileFormat()->encoding, TextEncoding::Utf8);
    EXPECT_EQ(second->FileFormat()->lineEnd, LineEnd::Lf);
    EXPECT_EQ(second->txtQry()->font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(second->txtQry()->font().pointSize(), 13);
    EXPECT_TRUE(second->txtQry()->font().bold());
    EXPECT_EQ(second->txtQry()->SelStart(), 3);
    EXPECT_EQ(window.ActiveDoc(), window.Docs()[0]);
    EXPECT_EQ(gConnection.State(), 0);  // only shown, nothing run
    EXPECT_EQ(second->RecordSet().State(), 0);
    // The next new window continues the numbers.
    EXPECT_EQ(window.LoadNewDoc()->Caption(), QStringLiteral("無題3"));
}

TEST_F(SessionTest, WithNothingToRestoreStartUpGivesOneEmptyWindowAndWritesNothing) {
    frmMain window;
    SessionKeeper session(window, folder(), 20ms);
    CancelConnectDialog();
    StartUp(window, {}, &session);
    EXPECT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
    QTest::qWait(100);
    session.Flush();
    EXPECT_EQ(session.Writes(), 0);
    EXPECT_FALSE(QFileInfo::exists(session.SessionPath()));
}

TEST_F(SessionTest, RestoredWindowsAreWrittenOnceAndThenNotWhileIdle) {
    QDir().mkpath(folder());
    SessionWindow window;
    for (int i = 0; i < 200; ++i) {
        window.text += QStringLiteral("SELECT %1 FROM long_table_name_%1;\r\n").arg(i);
    }
    window.caret = 500;
    window.verticalScroll = 20;
    WriteBytes(folder() + QStringLiteral("/session-old.json"),
               EncodeSession(Session{{window, window}, 1, {}}));
    frmMain main;
    SessionKeeper session(main, folder(), 20ms);
    CancelConnectDialog();
    StartUp(main, {}, &session);
    ASSERT_EQ(main.Docs().size(), 2);
    EXPECT_EQ(main.Docs()[1]->txtQry()->SelStart(), 500);
    session.Flush();
    EXPECT_EQ(session.Writes(), 1);  // the windows taken over, before the old file goes
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("/session-old.json")));
    QTest::qWait(200);
    session.Flush();
    EXPECT_EQ(session.Writes(), 1);
}

TEST_F(SessionTest, AnEditIsWrittenWithinTheDelayAndNothingIsWrittenWhileIdle) {
    frmMain window;
    SessionKeeper session(window, folder(), 50ms);
    frmSQL *doc = window.LoadNewDoc();
    QTest::keyClicks(doc->txtQry(), QStringLiteral("abc"));
    EXPECT_EQ(session.Writes(), 0);  // not at once: the keys of one burst share a write
    QTest::qWait(150);
    session.Flush();
    EXPECT_EQ(session.Writes(), 1);
    EXPECT_EQ(DecodeSession(ReadBytes(session.SessionPath()))->windows[0].text,
              QStringLiteral("abc"));
    const QDateTime written = QFileInfo(session.SessionPath()).lastModified();
    QTest::qWait(300);  // idle
    session.Flush();
    EXPECT_EQ(session.Writes(), 1);
    EXPECT_EQ(QFileInfo(session.SessionPath()).lastModified(), written);
    session.SaveIfChanged();
    session.Flush();
    EXPECT_EQ(session.Writes(), 1);
    // Typing that goes on is still written within the delay of its first key.
    for (int i = 0; i < 8; ++i) {
        QTest::keyClicks(doc->txtQry(), QStringLiteral("x"));
        QTest::qWait(20);
    }
    session.Flush();
    EXPECT_GE(session.Writes(), 2);
}

TEST_F(SessionTest, AFailedWriteIsShownOnceAndTypingGoesOn) {
    RecordingPresenter boxes;
    frmMain window;
    SessionKeeper session(window, folder(), 10ms);
    ASSERT_TRUE(QDir(folder()).removeRecursively());  // the folder goes away under the program
    frmSQL *doc = window.LoadNewDoc();
    for (int i = 0; i < 3; ++i) {
        doc->txtQry()->insertPlainText(QStringLiteral("x"));
        session.SaveIfChanged();
        session.Flush();
        QApplication::processEvents();  // the writer's report reaches this thread
    }
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].style, MessageStyle::Critical);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(session.SessionPath()));
    EXPECT_EQ(doc->txtQry()->Text(), QStringLiteral("xxx"));
}

TEST_F(SessionTest, AClosedWindowCanBeReopenedWithItsText) {
    frmMain window;
    SessionKeeper session(window, folder());
    QAction *reopen = window.findChild<QAction *>(QStringLiteral("mnuFileReopenClosed"));
    ASSERT_NE(reopen, nullptr);
    EXPECT_EQ(reopen->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+T")));
    EXPECT_FALSE(reopen->isEnabled());  // nothing to reopen

    const QString sqlPath = dir_.filePath(QStringLiteral("saved.sql"));
    WriteBytes(sqlPath, "SELECT saved");
    frmSQL *saved = window.LoadNewDoc();
    window.LoadSqlFile(saved, sqlPath);
    window.LoadNewDoc();  // empty
    frmSQL *typed = window.LoadNewDoc();
    typed->txtQry()->setText(QStringLiteral("SELECT typed"));
    for (frmSQL *doc : window.Docs()) {
        doc->parentWidget()->close();
    }
    // Only the window whose text no file holds is kept.
    ASSERT_EQ(session.ClosedDocs().size(), 1);
    EXPECT_EQ(session.ClosedDocs()[0].text, QStringLiteral("SELECT typed"));
    EXPECT_TRUE(reopen->isEnabled());
    session.Flush();
    EXPECT_EQ(DecodeSession(ReadBytes(session.SessionPath()))->closed.size(), 1);

    reopen->trigger();
    ASSERT_EQ(Texts(window), QStringList{QStringLiteral("SELECT typed")});
    EXPECT_TRUE(window.ActiveDoc()->IsUntitled());
    EXPECT_FALSE(reopen->isEnabled());
    reopen->trigger();  // nothing left: nothing happens
    EXPECT_EQ(window.Docs().size(), 1);
}

TEST_F(SessionTest, ClosedWindowsAreKeptAcrossARestartTheLastTwentyOnly) {
    {
        frmMain window;
        SessionKeeper session(window, folder());
        for (int i = 1; i <= SessionKeeper::kClosedKept + 3; ++i) {
            frmSQL *doc = window.LoadNewDoc();
            doc->txtQry()->setText(QStringLiteral("closed %1").arg(i));
            doc->parentWidget()->close();
        }
        EXPECT_EQ(session.ClosedDocs().size(), SessionKeeper::kClosedKept);
        window.close();
    }
    ResetSharedState();
    frmMain window;
    SessionKeeper session(window, folder());
    EXPECT_EQ(session.Restore(), 0);
    ASSERT_EQ(session.ClosedDocs().size(), SessionKeeper::kClosedKept);
    EXPECT_EQ(session.ClosedDocs().first().text, QStringLiteral("closed 4"));
    session.ReopenClosedDoc();
    EXPECT_EQ(Texts(window), QStringList{QStringLiteral("closed 23")});
}

TEST_F(SessionTest, TwoRunningProgramsKeepSeparateSessions) {
    frmMain first;
    SessionKeeper firstSession(first, folder());
    first.LoadNewDoc()->txtQry()->setText(QStringLiteral("first"));
    firstSession.SaveIfChanged();
    firstSession.Flush();

    frmMain second;
    SessionKeeper secondSession(second, folder());
    EXPECT_EQ(secondSession.Restore(), 0);  // the first program still runs
    EXPECT_NE(secondSession.SessionPath(), firstSession.SessionPath());
    EXPECT_TRUE(QFileInfo::exists(firstSession.SessionPath()));
}

struct DamagedStart {
    const char *name;
    QByteArray bytes;
};

void PrintTo(const DamagedStart &row, std::ostream *out) {
    *out << row.name;
}

class DamagedSessionStartTest : public SessionTest,
                                public testing::WithParamInterface<DamagedStart> {};

TEST_P(DamagedSessionStartTest, IsSetAsideWithOneBoxAndStartUpGoesOn) {
    QDir().mkpath(folder());
    const QString damaged = folder() + QStringLiteral("/session-old.json");
    WriteBytes(damaged, GetParam().bytes);
    RecordingPresenter boxes;
    frmMain window;
    SessionKeeper session(window, folder());
    CancelConnectDialog();
    StartUp(window, {}, &session);
    EXPECT_EQ(Captions(window), QStringList{QStringLiteral("無題1")});
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].style, MessageStyle::Information);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("session-old.json.damaged-")));
    EXPECT_FALSE(QFileInfo::exists(damaged));
    const QStringList setAside =
        QDir(folder()).entryList({QStringLiteral("session-old.json.damaged-*")});
    ASSERT_EQ(setAside.size(), 1);
    EXPECT_EQ(ReadBytes(folder() + QLatin1Char('/') + setAside[0]), GetParam().bytes);
}

QByteArray Valid() {
    SessionWindow window;
    window.text = QStringLiteral("SELECT 1");
    return EncodeSession(Session{{window}, 0, {}});
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSessionStartTest,
    testing::Values(DamagedStart{"truncated", Valid().left(Valid().size() - 5)},
                    DamagedStart{"empty", QByteArray()},
                    DamagedStart{"binary_garbage", QByteArray("\x00\xff\xfe{\x01\x80", 6)},
                    DamagedStart{"newer_version",
                                 Valid().replace("\"version\":1", "\"version\":9")}),
    [](const testing::TestParamInfo<DamagedStart> &info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(SessionCaptureTest, TheRawTextTurnsIntoTheEditorsText) {
    const QString texts[] = {
        QString(),
        QStringLiteral("one line"),
        QStringLiteral("a\r\nb\r\n"),
        QStringLiteral("\r\n\r\n"),
        QStringLiteral("non\u00a0breaking\tspace\r\n\u3000全角"),
        QStringLiteral("line\u2028separator"),
    };
    QueryEditor editor;
    for (const QString &text : texts) {
        editor.setText(text);
        EXPECT_EQ(QueryEditor::TextFromRaw(editor.RawText()).toStdString(),
                  editor.Text().toStdString());
    }
}

}  // namespace
