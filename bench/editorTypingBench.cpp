// Times one key press in a query window: the character goes into the editor, the whole text
// is coloured by the engine, and the colours are shown. Run offscreen:
//   QT_QPA_PLATFORM=offscreen ./editor_typing_bench [keyword file]
// Without a keyword file it writes one of typical size (about 150 keywords).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/clsMsg.h"
#include "engines/clsEditColor.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

// A script of the given number of lines, with keywords, comments and literals as in real work.
QString Script(int lines) {
    static const char *const kLines[] = {
        "select c.id, c.name, count(*) as orders -- customers with orders",
        "from customer c inner join orders o on o.customer_id = c.id",
        "where c.created >= '2024-01-01' and o.total is not null",
        "group by c.id, c.name",
        "/* totals per customer",
        "   across every shop */",
        "order by orders desc",
        "GO",
    };
    QStringList text;
    for (int i = 0; i < lines; ++i) {
        text.append(QString::fromLatin1(kLines[i % std::size(kLines)]));
    }
    return text.join(QLatin1String("\r\n"));
}

struct Figures {
    double median;
    double worst;
};

Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void Run(int lines, const QString &keywordFile) {
    frmSQL window(1);
    window.setColorKeywordFile(keywordFile);
    window.resize(900, 700);
    window.show();
    QueryEditor *editor = window.txtQry();
    editor->setText(Script(lines));
    QApplication::processEvents();

    const int rounds = lines >= 10000 ? 15 : 40;
    std::vector<double> press, engine, bridgeOut, bridgeIn;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        // In the middle of a line in the middle of the script, alternately a letter and a
        // backspace, so that the script stays the same.
        const QTextBlock block = editor->document()->findBlockByNumber(lines / 2 + 1);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
        editor->setTextCursor(cursor);
        timer.start();
        QTest::keyClick(editor, i % 2 ? Qt::Key_Backspace : Qt::Key_X);
        QApplication::processEvents();  // paint
        press.push_back(timer.nsecsElapsed() / 1e6);
    }
    // The parts of one press.
    for (int i = 0; i < 10; ++i) {
        timer.start();
        const QString rtf = editor->TextRTF();
        bridgeOut.push_back(timer.nsecsElapsed() / 1e6);
        clsEditColor color(keywordFile);
        timer.start();
        const QString colored = color.CColor(rtf);
        engine.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        editor->setTextRTF(colored);
        bridgeIn.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Figures all = Summarise(press);
    std::printf("%6d lines: key press + colouring + paint: median %7.2f ms, worst %7.2f ms\n",
                lines, all.median, all.worst);
    std::printf(
        "              of which TextRTF %.2f ms, CColor %.2f ms, setTextRTF %.2f ms "
        "(medians)\n",
        Summarise(bridgeOut).median, Summarise(engine).median, Summarise(bridgeIn).median);
}

// A keyword file of the size a real one has: the common SQL keywords and functions.
QString WriteKeywordFile(const QString &folder) {
    static const char *const kWords[] = {
        "select",      "from",      "where",     "and",      "or",         "not",
        "insert",      "into",      "values",    "update",   "set",        "delete",
        "create",      "table",     "view",      "index",    "drop",       "alter",
        "add",         "column",    "primary",   "key",      "foreign",    "references",
        "join",        "inner",     "left",      "right",    "outer",      "full",
        "cross",       "on",        "group",     "by",       "order",      "having",
        "union",       "all",       "distinct",  "as",       "asc",        "desc",
        "between",     "like",      "in",        "exists",   "case",       "when",
        "then",        "else",      "end",       "begin",    "commit",     "rollback",
        "transaction", "declare",   "exec",      "execute",  "procedure",  "function",
        "return",      "returns",   "if",        "while",    "top",        "with",
        "go",          "grant",     "revoke",    "truncate", "merge",      "using",
        "matched",     "output",    "default",   "check",    "constraint", "unique",
        "identity",    "cursor",    "fetch",     "open",     "close",      "deallocate",
        "print",       "raiserror", "try",       "catch",    "is",         "null",
        "count",       "sum",       "avg",       "min",      "max",        "cast",
        "convert",     "coalesce",  "isnull",    "getdate",  "len",        "substring",
        "upper",       "lower",     "ltrim",     "rtrim",    "replace",    "round",
        "abs",         "year",      "month",     "day",      "datediff",   "dateadd",
        "row_number",  "over",      "partition", "rank",     "dense_rank", "varchar",
        "nvarchar",    "char",      "int",       "bigint",   "smallint",   "decimal",
        "numeric",     "float",     "date",      "datetime", "bit",        "text",
        "true",        "false"};
    QString content = QStringLiteral("KEYWORD,COLOR\r\n");
    int i = 0;
    for (const char *word : kWords) {
        content += QString::fromLatin1(word) + QLatin1Char(',') + QString::number(1 + (i++ % 3)) +
                   QStringLiteral("\r\n");
    }
    const QString path = folder + QStringLiteral("/KEYWORD_COLOR.CSV");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content.toLatin1());
    }
    std::printf("keyword file: %d entries\n", i);
    return path;
}

}  // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString keywordFile =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : WriteKeywordFile(folder.path());
    for (int lines : {1000, 10000}) {
        Run(lines, keywordFile);
    }
    return 0;
}
