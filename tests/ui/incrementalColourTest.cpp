// The query window colours only what an edit touched. These tests hold it to the colouring of the
// whole text: the same edits go to the window and to a reference editor that colours its whole
// text after every change, and both must show the same text, caret and colours afterwards.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdio>
#include <functional>
#include <random>
#include <tuple>

#include "engines/clsEditColor.h"
#include "engines/richTextBridge.h"
#include "engines/rtfScanner.h"
#include "tests/ui/editorTestSupport.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

constexpr short kTabSpaces = 4;

// Keywords in every form the engine knows: words, phrases across a space or an ideographic space,
// keywords holding comment markers, Japanese, colours in and out of the table.
constexpr char kKeywords[] =
    "KEYWORD,COLOR\r\n"
    "select,1\r\nFROM,1\r\nwhere,1\r\nnull,2\r\ncount,3\r\norder by,1\r\ngroup by,2\r\n"
    "is not null,3\r\nx*/,2\r\n/*k,3\r\n--z,1\r\n\xe9\x81\xb8\xe6\x8a\x9e,2\r\n"
    "\xe8\xa1\xa8\xe3\x80\x80\xe5\x90\x8d,3\r\nand,7\r\n'a b',1\r\n";

// Every change of the reference editor colours its whole text, as the query window once did.
class WholeTextColoring : public QObject {
public:
    WholeTextColoring(QueryEditor *editor, QString keywordFile)
        : editor_(editor), keywordFile_(std::move(keywordFile)) {
        connect(editor, &QPlainTextEdit::textChanged, this, &WholeTextColoring::color);
    }

private:
    void color() {
        if (coloring_) {
            return;
        }
        const QScopedValueRollback guard(coloring_, true);
        const int caret = editor_->SelStart();
        const QString text = editor_->Text();
        clsEditColor engine(keywordFile_);
        engine.setTabSpaceNum(kTabSpaces);
        editor_->setTextRTF(engine.CColor(editor_->TextRTF()));
        editor_->setSelStart(TabExpandedOffset(text, caret, kTabSpaces));
    }

    QueryEditor *editor_;
    QString keywordFile_;
    bool coloring_ = false;
};

// What a line shows: each coloured stretch with its colour.
using Shown = QList<std::tuple<int, int, QRgb>>;

QList<Shown> ShownColors(const QueryEditor *editor) {
    QList<Shown> lines;
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next()) {
        Shown shown;
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            shown.append({range.start, range.length, range.format.foreground().color().rgb()});
        }
        lines.append(shown);
    }
    return lines;
}

// The colours of the whole text coloured at once, by line, as the editor shows them.
QList<Shown> WholeTextColors(const QString &text, const QString &keywordFile) {
    clsEditColor engine(keywordFile);
    engine.setTabSpaceNum(kTabSpaces);
    const RtfDocument colored = ParseRtf(engine.CColor(PlainToRtf(text)));
    QList<Shown> lines;
    qsizetype lineStart = 0;
    qsizetype next = 0;
    for (const QString &line : text.split(QLatin1String("\r\n"))) {
        const qsizetype lineEnd = lineStart + line.size();
        Shown shown;
        while (next < colored.runs.size() && colored.runs[next].start < lineEnd + 2) {
            const ColorRun &run = colored.runs[next++];
            const qsizetype start = std::max(run.start, lineStart);
            const qsizetype end = std::min(run.start + run.length, lineEnd);
            if (end > start) {
                shown.append({int(start - lineStart), int(end - start),
                              qRgb(run.color.red, run.color.green, run.color.blue)});
            }
        }
        lines.append(shown);
        lineStart = lineEnd + 2;
    }
    return lines;
}

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::mt19937 engine_;
};

// A piece of SQL of the kinds that matter to the colouring.
QString Piece(Random &random) {
    static const char *const kPieces[] = {"select",
                                          "SELECT",
                                          "SeLeCt",
                                          "from",
                                          "where",
                                          "null",
                                          "count(*)",
                                          "order by",
                                          "Group  By",
                                          "is not null",
                                          "x*/",
                                          "/*k",
                                          "--z",
                                          "/*",
                                          "*/",
                                          "/*/",
                                          "--",
                                          "-- note",
                                          "'text'",
                                          "'a b'",
                                          "\"q\"",
                                          "{x}",
                                          "a\\b",
                                          "\\",
                                          "\t",
                                          "\xe9\x81\xb8\xe6\x8a\x9e",
                                          "\xe8\xa1\xa8\xe3\x80\x80\xe5\x90\x8d",
                                          "\xe3\x80\x80",
                                          "t1",
                                          "c.id",
                                          "=",
                                          ",",
                                          "and",
                                          "*",
                                          "/"};
    return QString::fromUtf8(kPieces[random.below(int(std::size(kPieces)))]);
}

QString Line(Random &random) {
    QString line;
    const int pieces = random.below(7);
    for (int n = 0; n < pieces; ++n) {
        line += Piece(random);
        if (random.chance(70)) {
            line += QLatin1Char(' ');
        }
    }
    return line;
}

QString Lines(Random &random, int count) {
    QStringList lines;
    for (int n = 0; n < count; ++n) {
        lines.append(Line(random));
    }
    return lines.join(QLatin1String("\r\n"));
}

// One edit, made the same way in both editors.
using Edit = std::function<void(QueryEditor *)>;

// Types the text key by key; a character without a key of its own comes as the text of a key
// press, as an input method gives it.
void Type(QueryEditor *editor, const QString &typed) {
    for (const QChar c : typed) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(editor, char(c.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(editor, &release);
    }
}

Edit TypeAt(int at, const QString &typed) {
    return [=](QueryEditor *editor) {
        editor->setSelStart(at);
        Type(editor, typed);
    };
}

Edit KeysAt(int at, Qt::Key key, int count) {
    return [=](QueryEditor *editor) {
        editor->setSelStart(at);
        for (int n = 0; n < count; ++n) {
            QTest::keyClick(editor, key);
        }
    };
}

Edit Selected(int at, int length, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    return [=](QueryEditor *editor) {
        editor->setSelStart(at);
        editor->setSelLength(length);
        QTest::keyClick(editor, key, modifiers);
    };
}

Edit PasteAt(int at, const QString &pasted) {
    return [=](QueryEditor *editor) {
        editor->setSelStart(at);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    };
}

Edit Keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    return [=](QueryEditor *editor) { QTest::keyClick(editor, key, modifiers); };
}

Edit RandomEdit(Random &random, const QString &text, QString &name) {
    const int size = int(text.size());
    const int at = random.below(size + 1);
    const int kind = random.below(100);
    if (kind < 30) {
        const QString typed = Piece(random);
        name = QStringLiteral("type \"%1\" at %2").arg(typed).arg(at);
        return TypeAt(at, typed);
    }
    if (kind < 38) {
        name = QStringLiteral("return at %1").arg(at);
        return KeysAt(at, Qt::Key_Return, 1);
    }
    if (kind < 52) {
        const int count = 1 + random.below(4);
        const bool back = random.chance(50);
        name = QStringLiteral("%1 x%2 at %3")
                   .arg(back ? QStringLiteral("backspace") : QStringLiteral("delete"))
                   .arg(count)
                   .arg(at);
        return KeysAt(at, back ? Qt::Key_Backspace : Qt::Key_Delete, count);
    }
    if (kind < 60) {
        const int length = random.below(size - at + 1);
        name = QStringLiteral("delete %1 characters at %2").arg(length).arg(at);
        return Selected(at, length, Qt::Key_Backspace, Qt::NoModifier);
    }
    if (kind < 72) {
        const QString pasted = Lines(random, 1 + random.below(4));
        name = QStringLiteral("paste \"%1\" at %2").arg(pasted).arg(at);
        return PasteAt(at, pasted);
    }
    if (kind < 80) {
        qsizetype opener = text.indexOf(QLatin1String("/*"), at);
        if (opener < 0) {
            opener = text.indexOf(QLatin1String("/*"));
        }
        if (opener < 0) {
            name = QStringLiteral("type \"/*\" at %1").arg(at);
            return TypeAt(at, QStringLiteral("/*"));
        }
        name = QStringLiteral("cut the comment opener at %1").arg(opener);
        return Selected(int(opener), 2, Qt::Key_X, Qt::ControlModifier);
    }
    if (kind < 92) {
        name = QStringLiteral("undo");
        return Keys(Qt::Key_Z, Qt::ControlModifier);
    }
    name = QStringLiteral("redo");
    return Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
}

unsigned TestSeed() {
    const QByteArray given = qgetenv("TESSORY_TEST_SEED");
    return given.isEmpty() ? std::random_device()() : given.toUInt();
}

class IncrementalColourTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(WriteTestFile(keywordFile(), kKeywords));
        window_.setColorKeywordFile(keywordFile());
        window_.resize(600, 400);
        window_.show();
        // Lines are coloured as they are painted: the window must be on screen to paint.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        reference_.resize(600, 400);
        reference_.show();
    }
    QString keywordFile() const { return folder_.filePath(QStringLiteral("KEYWORD_COLOR.CSV")); }
    QueryEditor *editor() { return window_.txtQry(); }

    void load(const QString &text) {
        editor()->setText(text);
        reference_.setText(text);
    }

    void edit(const Edit &step) {
        step(editor());
        step(&reference_);
    }

    // Scrolls the window's editor through the whole text a page at a time, painting each page as
    // the user would see it, and back to where it was: lines are coloured as they come into view.
    void showEveryLine() {
        QScrollBar *bar = editor()->verticalScrollBar();
        const int kept = bar->value();
        for (int value = bar->minimum();; value += std::max(bar->pageStep(), 1)) {
            bar->setValue(std::min(value, bar->maximum()));
            editor()->viewport()->repaint();
            if (value >= bar->maximum()) {
                break;
            }
        }
        bar->setValue(kept);
        editor()->viewport()->repaint();
    }

    // Text, caret and colours of the window, every line seen, against the reference and the whole
    // text.
    void expectSame(const QString &what) {
        SCOPED_TRACE(what.toStdString());
        showEveryLine();
        const QString text = editor()->Text();
        ASSERT_EQ(text, reference_.Text());
        ASSERT_EQ(editor()->SelStart(), reference_.SelStart());
        ASSERT_EQ(editor()->SelLength(), reference_.SelLength());
        const QList<Shown> shown = ShownColors(editor());
        ASSERT_EQ(shown, ShownColors(&reference_));
        ASSERT_EQ(shown, WholeTextColors(text, keywordFile()));
    }

    QTemporaryDir folder_;
    frmSQL window_{1};
    QueryEditor reference_;
    WholeTextColoring referenceColoring_{&reference_, keywordFile()};
};

TEST_F(IncrementalColourTest, RandomEditsColourAsTheWholeText) {
    const unsigned seed = TestSeed();
    SCOPED_TRACE("TESSORY_TEST_SEED=" + std::to_string(seed));
    Random random(seed);
    constexpr int kDocuments = 40;
    constexpr int kEditsPerDocument = 55;  // 2,200 edits in all
    const auto stopped = [&] {
        if (HasFatalFailure()) {
            std::fprintf(stderr, "incremental colouring differs; TESSORY_TEST_SEED=%u\n", seed);
        }
        return HasFatalFailure();
    };
    for (int document = 0; document < kDocuments; ++document) {
        load(Lines(random, 1 + random.below(25)));
        expectSame(QStringLiteral("document %1 loaded").arg(document));
        if (stopped()) {
            return;
        }
        for (int n = 0; n < kEditsPerDocument; ++n) {
            QString name;
            const Edit step = RandomEdit(random, editor()->Text(), name);
            edit(step);
            expectSame(QStringLiteral("document %1, edit %2: %3").arg(document).arg(n).arg(name));
            if (stopped()) {
                return;
            }
        }
    }
}

}  // namespace

namespace {

// A changed keyword file changes the colours of every line at the next key press, not only those
// of the line typed in.
TEST_F(IncrementalColourTest, AChangedKeywordFileRecoloursEveryLine) {
    load(QStringLiteral("select a\r\nfrom t\r\n/* c\r\nd */ where x\r\ncount"));
    expectSame(QStringLiteral("loaded"));
    ASSERT_TRUE(WriteTestFile(keywordFile(), "KEYWORD,COLOR\r\nfrom,3\r\nwhere,2\r\nx,1\r\n"));
    edit(KeysAt(0, Qt::Key_Space, 1));
    expectSame(QStringLiteral("typed after the change"));
    EXPECT_EQ(editor()->colorAt(12), QColor(255, 0, 255));  // "from" on the second line
}

}  // namespace

namespace {

// A script far longer than the window is coloured only where it is seen: at once on screen, the
// rest as it scrolls into view. Wherever it is seen, after edits anywhere, the colours are those of
// the whole text.
TEST_F(IncrementalColourTest, ALongScriptColoursAsTheWholeTextWhereverItIsSeen) {
    const unsigned seed = TestSeed();
    SCOPED_TRACE("TESSORY_TEST_SEED=" + std::to_string(seed));
    Random random(seed);
    constexpr int kLines = 1500;
    load(Lines(random, kLines));
    // A line in the middle that the whole text colours is not coloured before it is seen.
    const QList<Shown> whole = WholeTextColors(editor()->Text(), keywordFile());
    int middle = kLines / 2;
    while (middle < kLines - 1 && whole[middle].isEmpty()) {
        ++middle;
    }
    ASSERT_FALSE(whole[middle].isEmpty());
    EXPECT_TRUE(editor()->document()->findBlockByNumber(middle).layout()->formats().isEmpty())
        << "line " << middle << " was coloured before it was seen";
    expectSame(QStringLiteral("loaded"));
    const QList<std::pair<QString, Edit>> edits = {
        {QStringLiteral("opener at the top"), TypeAt(0, QStringLiteral("/*"))},
        {QStringLiteral("closer in the middle"),
         TypeAt(int(editor()->Text().size() / 2), QStringLiteral("*/"))},
        {QStringLiteral("undo"), Keys(Qt::Key_Z, Qt::ControlModifier)},
        {QStringLiteral("tab at the end"),
         TypeAt(int(editor()->Text().size()), QStringLiteral("\t"))},
        {QStringLiteral("opener taken back"), KeysAt(2, Qt::Key_Backspace, 2)},
    };
    for (const auto &[name, step] : edits) {
        edit(step);
        expectSame(name);
        if (HasFatalFailure()) {
            return;
        }
    }
    for (int n = 0; n < 15 && !HasFatalFailure(); ++n) {
        QString name;
        const Edit step = RandomEdit(random, editor()->Text(), name);
        edit(step);
        expectSame(QStringLiteral("edit %1: %2").arg(n).arg(name));
    }
}

}  // namespace
