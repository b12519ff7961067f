#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "engines/richTextBridge.h"
#include "tests/ui/editorTestSupport.h"
#include "ui/colorLayer.h"
#include "ui/queryEditor.h"

namespace {

const QString kColorTable = QStringLiteral(
    "{\\colortbl ;\\red0\\green0\\blue255;\\red100\\green100\\blue100;\\red255\\green0\\blue255;"
    "\\red0\\green150\\blue0;}");
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 150, 0);

// Coloured RTF as the colouring engine returns it, around a body of RTF text.
QString Colored(const QString &body) {
    return QStringLiteral("{") + kColorTable + QStringLiteral("\\rtf1\\ansi\\pard\\fs20 ") + body +
           QStringLiteral("} ");
}

TEST(QueryEditor, TextUsesCrLfForEveryKindOfLineBreak) {
    QueryEditor editor;
    editor.setText(QStringLiteral("a\r\nb\rc\nd"));
    EXPECT_EQ(editor.document()->blockCount(), 4);
    EXPECT_EQ(editor.Text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
}

TEST(QueryEditor, OffsetsCountALineBreakAsTwo) {
    QueryEditor editor;
    editor.setText(QStringLiteral("ab\r\ncd\r\n"));
    editor.setSelStart(4);
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_EQ(editor.textCursor().position(), 3);
    editor.setSelLength(2);
    EXPECT_EQ(editor.SelText(), QStringLiteral("cd"));
    editor.setSelStart(1);
    editor.setSelLength(3);
    EXPECT_EQ(editor.SelText(), QStringLiteral("b\r\n"));
    EXPECT_EQ(editor.SelLength(), 3);
    editor.setSelStart(3);  // between CR and LF: the end of the line
    EXPECT_EQ(editor.SelStart(), 2);
    editor.setSelStart(1000);
    EXPECT_EQ(editor.SelStart(), 8);
    editor.setSelStart(-5);
    EXPECT_EQ(editor.SelStart(), 0);
}

TEST(QueryEditor, SelTextReplacesTheSelectionAsOneEdit) {
    QueryEditor editor;
    editor.setText(QStringLiteral("select a from t"));
    editor.setSelStart(7);
    editor.setSelLength(1);
    editor.setSelText(QStringLiteral("x,\ny"));
    EXPECT_EQ(editor.Text(), QStringLiteral("select x,\r\ny from t"));
    EXPECT_EQ(editor.SelStart(), 12);
    editor.undo();
    EXPECT_EQ(editor.Text(), QStringLiteral("select a from t"));
}

TEST(QueryEditor, TextRtfIsTheBridgeForm) {
    QueryEditor editor;
    editor.setText(QStringLiteral("a\tb\r\n{c}"));
    EXPECT_EQ(editor.TextRTF(), PlainToRtf(QStringLiteral("a\tb\r\n{c}")));
}

TEST(QueryEditor, ColoursAreShownWithoutEditingTheDocument) {
    QueryEditor editor;
    editor.setText(QStringLiteral("select a\r\n-- c"));
    const int undoSteps = editor.document()->availableUndoSteps();
    QSignalSpy changes(&editor, &QPlainTextEdit::textChanged);
    editor.setTextRTF(Colored(QStringLiteral("\\cf1 select\\cf0  a\\par \\cf4 -- c\\cf0 \\par ")));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(editor.document()->availableUndoSteps(), undoSteps);
    EXPECT_EQ(editor.Text(), QStringLiteral("select a\r\n-- c"));
    EXPECT_EQ(editor.colorAt(0), kBlue);
    EXPECT_EQ(editor.colorAt(5), kBlue);
    EXPECT_FALSE(editor.colorAt(7).isValid());
    EXPECT_EQ(editor.colorAt(10), kGreen);
    editor.ClearColors();
    EXPECT_FALSE(editor.colorAt(0).isValid());
    EXPECT_EQ(changes.count(), 0);
}

TEST(QueryEditor, ANewTextFromRtfIsJoinedToThePreviousEdit) {
    QueryEditor editor;
    editor.setText(QStringLiteral("keep"));
    editor.setText(QStringLiteral("x\r\nselect\t1\r\ny"));
    editor.setTextRTF(Colored(QStringLiteral("x\\par \\cf1 select\\cf0     1\\par y\\par ")));
    EXPECT_EQ(editor.Text(), QStringLiteral("x\r\nselect    1\r\ny"));
    EXPECT_EQ(editor.colorAt(3), kBlue);
    editor.undo();
    EXPECT_EQ(editor.Text(), QStringLiteral("keep"));
    editor.redo();
    EXPECT_EQ(editor.Text(), QStringLiteral("x\r\nselect    1\r\ny"));
}

TEST(ColorLayer, RelaysOnlyTheLinesWhoseColoursChanged) {
    QTextDocument document;
    QStringList lines;
    for (int i = 0; i < 300; ++i) {
        lines.append(QStringLiteral("select %1").arg(i));
    }
    document.setPlainText(lines.join(QLatin1Char('\n')));
    ColorLayer layer(&document);
    QList<ColorRun> runs;
    qsizetype offset = 0;
    for (const QString &line : lines) {
        runs.append({offset, 6, RtfColor{false, 0, 0, 255}});
        offset += line.size() + 2;
    }
    EXPECT_EQ(layer.setRuns(runs), 300);
    EXPECT_EQ(layer.setRuns(runs), 0);
    runs[150].color = RtfColor{false, 0, 150, 0};
    EXPECT_EQ(layer.setRuns(runs), 1);
    EXPECT_EQ(layer.lineRuns(document.findBlockByNumber(150)).value(0).color, kGreen);
    runs.removeAt(299);
    EXPECT_EQ(layer.setRuns(runs), 1);
    EXPECT_TRUE(layer.lineRuns(document.lastBlock()).isEmpty());
}

class QueryEditorDrop : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(WriteTestFile(path("three.sql"), "select 1\r\nfrom t\r\nwhere x = 1"));
        ASSERT_TRUE(WriteTestFile(path("other.sql"), "other"));
        editor_.setText(QStringLiteral("old text"));
    }
    QString path(const char *name) const { return folder_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir folder_;
    QueryEditor editor_;
};

TEST_F(QueryEditorDrop, LoadsAThreeLineFileAsOneEdit) {
    QSignalSpy changes(&editor_, &QPlainTextEdit::textChanged);
    DropFiles(editor_.viewport(), {path("three.sql")});
    EXPECT_EQ(editor_.Text(), QStringLiteral("select 1\r\nfrom t\r\nwhere x = 1"));
    EXPECT_EQ(changes.count(), 1);
    editor_.undo();
    EXPECT_EQ(editor_.Text(), QStringLiteral("old text"));
}

TEST_F(QueryEditorDrop, LoadsOnlyTheFirstOfTwoFiles) {
    DropFiles(editor_.viewport(), {path("other.sql"), path("three.sql")});
    EXPECT_EQ(editor_.Text(), QStringLiteral("other"));
}

// A dropped file is read as an opened one: every kind of line break ends a line, and no line
// is added after the last.
TEST_F(QueryEditorDrop, LoadsTheLinesOfEveryKindOfLineBreak) {
    const struct {
        const char *name;
        QByteArray bytes;
        int lines;
    } rows[] = {
        {"lf", "select 1\nfrom t\n", 3},
        {"cr", "select 1\rfrom t", 2},
        {"mixed", "select 1\r\nfrom t\nwhere x\r", 4},
    };
    for (const auto &row : rows) {
        ASSERT_TRUE(WriteTestFile(path("dropped.sql"), row.bytes));
        DropFiles(editor_.viewport(), {path("dropped.sql")});
        QString expected = QString::fromLatin1(row.bytes);
        expected.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'))
            .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        EXPECT_EQ(editor_.Text(), expected) << row.name;
        EXPECT_EQ(editor_.document()->blockCount(), row.lines) << row.name;
    }
}

TEST_F(QueryEditorDrop, IgnoresWhatIsNoOrdinaryFile) {
    ASSERT_TRUE(WriteTestFile(path(".hidden.sql"), "hidden"));
    for (const QString &target : {path("missing.sql"), folder_.path(), path(".hidden.sql")}) {
        DropFiles(editor_.viewport(), {target});
        EXPECT_EQ(editor_.Text(), QStringLiteral("old text")) << target.toStdString();
    }
}

}  // namespace
