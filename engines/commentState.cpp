#include "engines/commentState.h"

namespace {

// The first "*/" at or after `from`; -1 when there is none.
qsizetype FindCloser(QStringView line, qsizetype from) {
    for (qsizetype i = from; i + 1 < line.size(); ++i) {
        if (line[i] == QLatin1Char('*') && line[i + 1] == QLatin1Char('/')) {
            return i;
        }
    }
    return -1;
}

}  // namespace

// One pass from left to right: the first "--" or "/*" met decides, as the earlier marker wins.
bool LineEndsInComment(QStringView line, bool startsInComment) {
    qsizetype i = 0;
    if (startsInComment) {
        const qsizetype closer = FindCloser(line, 0);
        if (closer < 0) {
            return true;
        }
        i = closer + 2;
    }
    while (i + 1 < line.size()) {
        const QChar c = line[i];
        const QChar next = line[i + 1];
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            return false;  // the rest of the line is a line comment
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype closer = FindCloser(line, i);
            if (closer < 0) {
                return true;
            }
            i = closer + 2;
            continue;
        }
        ++i;
    }
    return false;
}

// A tab is written as "\tab " for the engine, which makes it tabSpaceNum - 1 spaces and keeps the
// control word's own space: one space at the least.
QString ExpandLineTabs(const QString &line, short tabSpaceNum) {
    if (!line.contains(QLatin1Char('\t'))) {
        return line;
    }
    const QString spaces(tabSpaceNum > 1 ? tabSpaceNum : 1, QLatin1Char(' '));
    QString expanded = line;
    expanded.replace(QLatin1Char('\t'), spaces);
    return expanded;
}
