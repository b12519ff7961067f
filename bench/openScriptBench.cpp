// Opens a long script into a query window as the File > Open command does (the file read and
// decoded, then given to the editor) and times it until the window is painted; then the memory
// the open kept and took at its peak against the text's size as UTF-16, and a key press in the
// middle of the script. Run offscreen:
//   QT_QPA_PLATFORM=offscreen ./open_script_bench [lines]   (default 490000, about 42 MB)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "benchSupport.h"
#include "files/basSqlFile.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

double Elapsed(QElapsedTimer &timer) {
    return timer.nsecsElapsed() / 1e6;
}

// The processor time of the process, in milliseconds: unlike the wall-clock time, it does not
// grow when other programs share the processor.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The resident size and its peak since the last reset, in megabytes.
struct Memory {
    double resident = 0;
    double peak = 0;
};

Memory ReadMemory() {
    Memory memory;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return memory;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        const auto value = [&](const char *key) {
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').first().toDouble() /
                   1024.0;
        };
        if (line.startsWith("VmRSS:")) {
            memory.resident = value("VmRSS:");
        } else if (line.startsWith("VmHWM:")) {
            memory.peak = value("VmHWM:");
        }
    }
    return memory;
}

// Starts a new peak from the present resident size.
void ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
}

// The sample script with every line made 80 to 87 characters long, as in a generated script of
// 42 MB, and the first one the widest: the padding is SQL with keywords, so that the colouring has
// its usual work.
QByteArray LongScript(int lines) {
    const QStringList sample = SampleScript(lines).split(QLatin1String("\r\n"));
    static const QString padding =
        QStringLiteral(" and o.total is not null or c.name like 'a%' and o.id in (1, 2, 3)")
            .repeated(3);
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * 88);
    for (qsizetype n = 0; n < sample.size(); ++n) {
        QString padded = sample[n];
        const qsizetype width = n == 0 ? 200 : 80 + n % 8;  // 80 to 87 characters, one wider
        if (padded.size() < width) {
            padded += padding.left(width - padded.size());
        }
        bytes += padded.toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

void PlaceCaret(QueryEditor *editor, int line, int column) {
    QTextCursor cursor(editor->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    editor->setTextCursor(cursor);
}

void Run(int lines, const QString &keywordFile, const QString &scriptFile) {
    frmSQL window(1);
    window.setColorKeywordFile(keywordFile);
    window.resize(900, 700);
    window.show();
    QApplication::processEvents();
    QueryEditor *editor = window.txtQry();

    ResetPeak();
    const Memory before = ReadMemory();
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = CpuMs();
    // As the open command does: the window keeps the file's format (its bytes included), the
    // text read goes once the editor has it.
    SqlFileFormat format;
    std::optional<QString> text = ReadSqlFile(scriptFile, &format);
    const double read = Elapsed(timer);
    if (!text) {
        std::printf("the script could not be read\n");
        return;
    }
    const double utf16 = double(text->size()) * 2 / (1024.0 * 1024.0);
    editor->setText(*text);
    text.reset();
    const double set = Elapsed(timer);
    QApplication::processEvents();  // paint
    const double open = Elapsed(timer);
    const double cpu = CpuMs() - cpuStart;
    const Memory after = ReadMemory();
    std::printf(
        "%d lines, %.1f MB as UTF-16: read %.0f ms, setText %.0f ms, painted %.0f ms "
        "(processor time %.0f ms)\n",
        lines, utf16, read, set - read, open, cpu);
    std::printf("memory: kept %.0f MB (%.1fx the UTF-16 text), peak %.0f MB (%.1fx)\n",
                after.resident - before.resident, (after.resident - before.resident) / utf16,
                after.peak - before.resident, (after.peak - before.resident) / utf16);

    // In the middle of a line in the middle of the script, then in the widest line (the first),
    // alternately a letter and a backspace, so that the script stays the same. When its widest
    // line gets narrower, the editor measures every line again to find the next widest.
    for (const int line : {lines / 2 + 1, 0}) {
        std::vector<double> press;
        for (int i = 0; i < 20; ++i) {
            PlaceCaret(editor, line, 5);
            timer.start();
            QTest::keyClick(editor, i % 2 ? Qt::Key_Backspace : Qt::Key_X);
            QApplication::processEvents();  // paint
            press.push_back(Elapsed(timer));
        }
        const Figures all = Summarise(press);
        std::printf("key press %s + colouring + paint: median %.2f ms, worst %.2f ms\n",
                    line == 0 ? "in the widest line" : "in the middle", all.median, all.worst);
    }
}

}  // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 490000;
    const QString keywordFile = WriteKeywordFile(folder.path());
    const QString scriptFile = folder.path() + QStringLiteral("/script.sql");
    {
        QFile file(scriptFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(LongScript(lines)) < 0) {
            std::printf("the script could not be written\n");
            return 1;
        }
    }
    Run(lines, keywordFile, scriptFile);
    return 0;
}
