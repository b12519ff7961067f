#include "engines/commentState.h"

bool LineEndsInComment(QStringView line, bool startsInComment) {
    qsizetype from = 0;
    if (startsInComment) {
        const qsizetype closer = line.indexOf(u"*/");
        if (closer < 0) {
            return true;
        }
        from = closer + 2;
    }
    while (from < line.size()) {
        const qsizetype lineComment = line.indexOf(u"--", from);
        const qsizetype opener = line.indexOf(u"/*", from);
        if (opener < 0 || (lineComment >= 0 && lineComment < opener)) {
            return false;  // no opener left, or the rest of the line is a line comment
        }
        const qsizetype closer = line.indexOf(u"*/", opener);
        if (closer < 0) {
            return true;
        }
        from = closer + 2;
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
