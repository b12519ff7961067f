#include <gtest/gtest.h>

#include <functional>

#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/basGlobals.h"
#include "tests/support/recordingPresenter.h"
#include "tests/ui/editorTestSupport.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

const QColor kBlue(0, 0, 255);
const QColor kGrey(100, 100, 100);
const QColor kGreen(0, 150, 0);

class FrmSqlTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(WriteTestFile(
            keywordFile(),
            "KEYWORD,COLOR\r\nselect,1\r\nfrom,1\r\nwhere,1\r\nnull,2\r\ncount,3\r\n"));
        window_.setColorKeywordFile(keywordFile());
        window_.resize(600, 500);
        window_.show();
    }
    QString keywordFile() const { return folder_.filePath(QStringLiteral("KEYWORD_COLOR.CSV")); }
    QueryEditor *editor() { return window_.txtQry(); }
    void type(const QString &text) { QTest::keyClicks(editor(), text); }

    QTemporaryDir folder_;
    frmSQL window_{1};
};

TEST_F(FrmSqlTest, HasItsControlsAndCaption) {
    EXPECT_EQ(window_.findChild<QueryEditor *>(QStringLiteral("txtQry")), editor());
    auto *grid = window_.findChild<QTableView *>(QStringLiteral("grdQry"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(window_.Caption(), QStringLiteral("無題1"));
    EXPECT_TRUE(window_.IsUntitled());
    window_.setCaption(QStringLiteral("/tmp/a.sql"));
    EXPECT_FALSE(window_.IsUntitled());
    EXPECT_EQ(window_.DocNumber(), 1);
}

TEST_F(FrmSqlTest, TypedKeywordsAreColoured) {
    type(QStringLiteral("select a from t where b is null -- from"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("select a from t where b is null -- from"));
    EXPECT_EQ(editor()->colorAt(0), kBlue);
    EXPECT_EQ(editor()->colorAt(5), kBlue);
    EXPECT_FALSE(editor()->colorAt(7).isValid());
    EXPECT_EQ(editor()->colorAt(9), kBlue);
    EXPECT_EQ(editor()->colorAt(16), kBlue);
    EXPECT_EQ(editor()->colorAt(27), kGrey);
    EXPECT_EQ(editor()->colorAt(32), kGreen);
    EXPECT_EQ(editor()->colorAt(36), kGreen);
}

TEST_F(FrmSqlTest, ColoursFollowEditsAcrossLines) {
    type(QStringLiteral("selec"));
    EXPECT_FALSE(editor()->colorAt(0).isValid());
    type(QStringLiteral("t"));
    EXPECT_EQ(editor()->colorAt(0), kBlue);
    QTest::keyClick(editor(), Qt::Key_Return);
    type(QStringLiteral("/* a"));
    QTest::keyClick(editor(), Qt::Key_Home);
    QTest::keyClick(editor(), Qt::Key_Up);
    QTest::keyClick(editor(), Qt::Key_Home);
    type(QStringLiteral("x"));  // "xselect" is no keyword any more
    EXPECT_EQ(editor()->Text(), QStringLiteral("xselect\r\n/* a"));
    EXPECT_FALSE(editor()->colorAt(1).isValid());
    EXPECT_EQ(editor()->colorAt(9), kGreen);
    EXPECT_EQ(editor()->SelStart(), 1);
}

TEST_F(FrmSqlTest, ATabBecomesFourSpacesAndTheCaretFollowsThem) {
    type(QStringLiteral("select"));
    QTest::keyClick(editor(), Qt::Key_Tab);
    EXPECT_EQ(editor()->Text(), QStringLiteral("select    "));
    EXPECT_EQ(editor()->SelStart(), 10);
    EXPECT_EQ(editor()->colorAt(0), kBlue);
}

// Keys and pastes with tabs: the text as the colouring leaves it, and where the caret stands.
TEST_F(FrmSqlTest, TheCaretEndsAfterTheSpacesOfEveryTabBeforeIt) {
    const auto key = [](Qt::Key k) { return [k](QWidget *w) { QTest::keyClick(w, k); }; };
    const auto text = [](const char *t) {
        return [t](QWidget *w) { QTest::keyClicks(w, QString::fromUtf8(t)); };
    };
    const auto paste = [](const char *t) {
        return [t](QWidget *w) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(t));
            QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        };
    };
    const struct {
        const char *name;
        QList<std::function<void(QWidget *)>> steps;
        const char *text;
        int caret;
    } rows[] = {
        {"a_tab_b", {text("A"), key(Qt::Key_Tab), text("B")}, "A    B", 6},
        {"tab_first", {key(Qt::Key_Tab), text("x")}, "    x", 5},
        {"two_tabs", {key(Qt::Key_Tab), key(Qt::Key_Tab), text("x")}, "        x", 9},
        {"tab_inside_a_line",
         {text("ab"), key(Qt::Key_Home), key(Qt::Key_Right), key(Qt::Key_Tab)},
         "a    b",
         5},
        {"tab_on_the_second_line",
         {text("a"), key(Qt::Key_Return), key(Qt::Key_Tab), text("b")},
         "a\r\n    b",
         8},
        {"paste_with_two_tabs", {text("("), paste("x\ty\tz")}, "(x    y    z", 12},
        {"paste_into_a_line_before_a_tab",
         {text("a"), key(Qt::Key_Tab), text("b"), key(Qt::Key_Home), paste("\t-")},
         "    -a    b",
         5},
        {"paste_of_lines",
         {paste("select\ta\r\n\tfrom t"), text(";")},
         "select    a\r\n    from t;",
         24},
    };
    for (const auto &row : rows) {
        editor()->setText(QString());
        for (const auto &step : row.steps) {
            step(editor());
        }
        EXPECT_EQ(editor()->Text(), QString::fromUtf8(row.text)) << row.name;
        EXPECT_EQ(editor()->SelStart(), row.caret) << row.name;
    }
}

TEST_F(FrmSqlTest, TheCaretStaysWhereTheUserTyped) {
    type(QStringLiteral("from t"));
    QTest::keyClick(editor(), Qt::Key_Home);
    type(QStringLiteral("select a "));
    EXPECT_EQ(editor()->Text(), QStringLiteral("select a from t"));
    EXPECT_EQ(editor()->SelStart(), 9);
    EXPECT_EQ(editor()->colorAt(9), kBlue);
}

// Two lines as the user types them.
void TypeTwoLines(QWidget *widget) {
    QTest::keyClicks(widget, QStringLiteral("select a"));
    QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClicks(widget, QStringLiteral("from t"));
}

TEST_F(FrmSqlTest, UndoTakesBackTheTypingAndNotTheColouring) {
    QPlainTextEdit plain;
    TypeTwoLines(&plain);
    TypeTwoLines(editor());
    ASSERT_EQ(editor()->colorAt(10), kBlue);
    // Colouring adds nothing to the undo history: undo works as in a plain editor.
    EXPECT_EQ(editor()->document()->availableUndoSteps(), plain.document()->availableUndoSteps());
    QTest::keyClick(&plain, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(editor()->Text(), QStringLiteral("select a\r\nfrom t"));
    EXPECT_EQ(editor()->Text(),
              plain.toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
}

TEST_F(FrmSqlTest, UndoTakesBackATabTogetherWithItsSpaces) {
    type(QStringLiteral("select"));
    editor()->moveCursor(QTextCursor::End);  // the next key starts a new undo step
    QTest::keyClick(editor(), Qt::Key_Tab);
    ASSERT_EQ(editor()->Text(), QStringLiteral("select    "));
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(editor()->Text().contains(QLatin1Char('\t')));
    EXPECT_FALSE(editor()->Text().endsWith(QLatin1Char(' ')))
        << editor()->Text().toStdString() << '|';
    QTest::keyClick(editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor()->Text(), QStringLiteral("select    "));
    EXPECT_TRUE(editor()->document()->isUndoAvailable());
}

TEST_F(FrmSqlTest, AMissingKeywordFileShowsTheEngineBoxOnceAndKeepsTheText) {
    type(QStringLiteral("select"));
    ASSERT_EQ(editor()->colorAt(0), kBlue);
    RecordingPresenter presenter;
    window_.setColorKeywordFile(folder_.filePath(QStringLiteral("missing.csv")));
    type(QStringLiteral(" a"));
    QTest::keyClick(editor(), Qt::Key_Tab);
    QTest::keyClick(editor(), Qt::Key_Return);
    type(QStringLiteral("from t"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("select a\t\r\nfrom t"));
    EXPECT_EQ(editor()->SelStart(), 17);
    EXPECT_FALSE(editor()->colorAt(0).isValid());
    ASSERT_EQ(presenter.boxes().size(), 1);  // one box, not one for every key
    EXPECT_TRUE(presenter.boxes()[0].text.startsWith(QStringLiteral("53:")));
    EXPECT_EQ(presenter.boxes()[0].title, QStringLiteral("Tessory"));
    EXPECT_EQ(presenter.boxes()[0].style, 16);
}

// The engine's box comes back only when the keyword file has changed since it was shown, or
// after the colouring worked again in between; each window shows its own.
TEST_F(FrmSqlTest, TheEngineBoxShowsAgainOnlyAfterTheKeywordFileChanged) {
    const QString file = folder_.filePath(QStringLiteral("broken.csv"));
    window_.setColorKeywordFile(file);
    RecordingPresenter presenter;
    const auto boxesAfterTyping = [&](const char *keys) {
        type(QString::fromLatin1(keys));
        return presenter.boxes().size();
    };
    EXPECT_EQ(boxesAfterTyping("sel"), 1);  // missing
    EXPECT_EQ(boxesAfterTyping("ect"), 1);

    ASSERT_TRUE(WriteTestFile(file, "KEYWORD,COLOR\r\nselect\r\n"));  // an entry lacks its colour
    EXPECT_EQ(boxesAfterTyping(" a"), 2);
    EXPECT_EQ(boxesAfterTyping(" b"), 2);

    // The same size, another modification time.
    QFile touched(file);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                    QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(boxesAfterTyping(" c"), 3);
    EXPECT_EQ(boxesAfterTyping(" d"), 3);
    EXPECT_TRUE(presenter.boxes()[2].text.startsWith(QStringLiteral("9:")));
    EXPECT_EQ(editor()->Text(), QStringLiteral("select a b c d"));
    EXPECT_FALSE(editor()->colorAt(0).isValid());

    ASSERT_TRUE(WriteTestFile(file, "KEYWORD,COLOR\r\nselect,1\r\n"));
    EXPECT_EQ(boxesAfterTyping(" "), 3);
    EXPECT_EQ(editor()->colorAt(0), kBlue);
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_EQ(boxesAfterTyping("e"), 4);  // missing again, after it had worked

    frmSQL other(2);
    other.setColorKeywordFile(file);
    QTest::keyClicks(other.txtQry(), QStringLiteral("select"));
    EXPECT_EQ(presenter.boxes().size(), 5);
    EXPECT_EQ(other.txtQry()->Text(), QStringLiteral("select"));
}

TEST_F(FrmSqlTest, ADroppedThreeLineFileIsLoadedAndColoured) {
    type(QStringLiteral("old"));
    const QString path = folder_.filePath(QStringLiteral("query.sql"));
    ASSERT_TRUE(WriteTestFile(path, "select a\r\nfrom t\r\nwhere b = 1"));
    DropFiles(editor()->viewport(), {path});
    EXPECT_EQ(editor()->Text(), QStringLiteral("select a\r\nfrom t\r\nwhere b = 1"));
    EXPECT_EQ(editor()->colorAt(0), kBlue);
    EXPECT_EQ(editor()->colorAt(10), kBlue);
    EXPECT_EQ(editor()->colorAt(18), kBlue);
}

TEST_F(FrmSqlTest, DraggingTheSplitterSetsTheEditorHeight) {
    QWidget *handle = window_.findChild<QWidget *>(QStringLiteral("imgSplitter"));
    QWidget *bar = window_.findChild<QWidget *>(QStringLiteral("picSplitter"));
    ASSERT_NE(handle, nullptr);
    ASSERT_NE(bar, nullptr);
    const int before = window_.Panes().editorHeight;
    QTest::mouseMove(handle, QPoint(10, 60));  // no button: nothing happens
    EXPECT_FALSE(window_.SplitterDragging());
    EXPECT_EQ(window_.Panes().editorHeight, before);

    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(10, 2));
    EXPECT_TRUE(window_.SplitterDragging());
    EXPECT_TRUE(bar->isVisible());
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 60), handle->mapToGlobal(QPointF(10, 60)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &move);
    EXPECT_EQ(window_.Panes().editorHeight, before);  // only the bar moves while dragging
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(10, 60));
    EXPECT_FALSE(window_.SplitterDragging());
    EXPECT_FALSE(bar->isVisible());
    const int expected = window_.Panes().handleTop;
    EXPECT_GT(window_.Panes().editorHeight, before);
    EXPECT_EQ(window_.Panes().editorHeight, expected);
    const double twipsPerPixel = 1440.0 / window_.logicalDpiY();
    EXPECT_NEAR(editor()->height() * twipsPerPixel, window_.Panes().editorHeight, twipsPerPixel);
    const QTableView *grid = window_.grdQry();
    EXPECT_EQ(grid->y(), window_.txtQry()->height() + qRound(50 / twipsPerPixel));

    window_.resize(600, 700);  // a resize keeps the editor's height
    EXPECT_EQ(window_.Panes().editorHeight, expected);
}

TEST(FrmSqlClose, ReportsTheCloseOnceAndClosesItsResult) {
    frmSQL window(2);
    QSignalSpy closed(&window, &frmSQL::Closed);
    window.show();
    window.close();
    window.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(window.RecordSet().State(), Recordset::StateClosed);
}

}  // namespace
