#pragma once

#include <QString>
#include <QStringView>

// The text in lower case, one character for one character, so that a position in the lowered
// text is the same position in the text itself (which QString::toLower does not promise).
inline QString LowerEachChar(QStringView text) {
    QString lowered(text.size(), Qt::Uninitialized);
    QChar *out = lowered.data();
    for (const QChar c : text) {
        *out++ = c.toLower();
    }
    return lowered;
}
