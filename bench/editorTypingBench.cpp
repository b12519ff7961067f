// Times edits in a query window until painted, colouring included: one key press in the middle
// of scripts of 1,000, 10,000 and 50,000 lines, typing "/*" at the top of the longest script, and
// a paste of 10,000 lines. Run offscreen:
//   QT_QPA_PLATFORM=offscreen ./editor_typing_bench [keyword file]
// Without a keyword file it writes one of typical size (about 150 keywords).
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "benchSupport.h"
#include "core/clsMsg.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

double Elapsed(QElapsedTimer &timer) {
    return timer.nsecsElapsed() / 1e6;
}

void PlaceCaret(QueryEditor *editor, int line, int column) {
    QTextCursor cursor(editor->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    editor->setTextCursor(cursor);
}

void Run(int lines, const QString &keywordFile, bool blockComments = true) {
    frmSQL window(1);
    window.setColorKeywordFile(keywordFile);
    window.resize(900, 700);
    window.show();
    QueryEditor *editor = window.txtQry();
    editor->setText(SampleScript(lines, blockComments));
    QApplication::processEvents();

    const int rounds = lines >= 50000 ? 10 : lines >= 10000 ? 20 : 40;
    std::vector<double> press;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        // In the middle of a line in the middle of the script, alternately a letter and a
        // backspace, so that the script stays the same.
        PlaceCaret(editor, lines / 2 + 1, 5);
        timer.start();
        QTest::keyClick(editor, i % 2 ? Qt::Key_Backspace : Qt::Key_X);
        QApplication::processEvents();  // paint
        press.push_back(Elapsed(timer));
    }
    const Figures all = Summarise(press);
    const char *kind = blockComments ? "" : ", no block comment";
    std::printf("%6d lines%s: key press + colouring + paint: median %7.2f ms, worst %7.2f ms\n",
                lines, kind, all.median, all.worst);
    if (lines < 50000) {
        return;
    }
    // "/*" at the top comments out the script up to the first "*/"; the two backspaces after
    // it bring the script back.
    std::vector<double> opener, takenBack;
    for (int i = 0; i < 3; ++i) {
        PlaceCaret(editor, 0, 0);
        timer.start();
        QTest::keyClicks(editor, QStringLiteral("/*"));
        QApplication::processEvents();
        opener.push_back(Elapsed(timer));
        timer.start();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QApplication::processEvents();
        takenBack.push_back(Elapsed(timer));
    }
    const Figures top = Summarise(opener);
    std::printf("%6d lines%s: \"/*\" typed at the top: median %7.2f ms, worst %7.2f ms\n", lines,
                kind, top.median, top.worst);
    const Figures back = Summarise(takenBack);
    std::printf("%6d lines%s: \"/*\" taken back: median %7.2f ms, worst %7.2f ms\n", lines, kind,
                back.median, back.worst);
}

// Pastes 10,000 lines into the middle of a 1,000-line script, then takes the paste back (not
// timed).
void RunPaste(const QString &keywordFile) {
    frmSQL window(1);
    window.setColorKeywordFile(keywordFile);
    window.resize(900, 700);
    window.show();
    QueryEditor *editor = window.txtQry();
    editor->setText(SampleScript(1000));
    QApplication::processEvents();
    QApplication::clipboard()->setText(SampleScript(10000));
    std::vector<double> paste;
    QElapsedTimer timer;
    for (int i = 0; i < 3; ++i) {
        PlaceCaret(editor, 500, 0);
        timer.start();
        editor->paste();
        QApplication::processEvents();
        paste.push_back(Elapsed(timer));
        editor->undo();
        QApplication::processEvents();
    }
    const Figures all = Summarise(paste);
    std::printf("paste of 10,000 lines: median %7.2f ms, worst %7.2f ms\n", all.median, all.worst);
}

}  // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString keywordFile =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : WriteKeywordFile(folder.path());
    for (int lines : {1000, 10000, 50000}) {
        Run(lines, keywordFile);
    }
    Run(50000, keywordFile, false);
    RunPaste(keywordFile);
    return 0;
}
