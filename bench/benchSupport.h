#pragma once

// What the editor benchmarks share: the script they type into and how they sum up their times.
#include <QString>
#include <QStringList>

#include <algorithm>
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
