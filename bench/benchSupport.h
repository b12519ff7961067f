#pragma once

// What the editor benchmarks share: the script they type into, the keyword file they colour
// with and how they sum up their times.
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

// A script of the given number of lines, with keywords, comments and literals as in real work
// (CR LF between lines). Without block comments, an opener typed at the top changes the colours
// of every line after it.
inline QString SampleScript(int lines, bool blockComments = true) {
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
    text.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        const QString line = QString::fromLatin1(kLines[i % std::size(kLines)]);
        text.append(blockComments
                        ? line
                        : QString(line).remove(QLatin1String("/*")).remove(QLatin1String("*/")));
    }
    return text.join(QLatin1String("\r\n"));
}

// The median and the slowest of a set of times.
struct Figures {
    double median;
    double worst;
};

inline Figures Summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// A keyword file of the size a real one has: the common SQL keywords and functions.
inline QString WriteKeywordFile(const QString &folder) {
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
