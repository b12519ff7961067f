#include "tests/engines/engineTestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include "tests/support/testEnvironment.h"

QString ReadTestFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

void WriteTestFile(const QString &path, const QString &text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text.toUtf8());
    }
}

QString WriteRawKeywordFile(const QString &name, const QByteArray &bytes) {
    const QString path = TestProcessFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
    return path;
}

QString WriteKeywordFile(const QString &name, const QStringList &lines) {
    return WriteRawKeywordFile(
        name, (QStringList{QStringLiteral("HEADER")} + lines).join(QLatin1String("\r\n")).toUtf8());
}

QString EditorRtf(const QString &plainText) {
    QString rtf = QString::fromLatin1(kEditorRtfHeader);
    const QStringList lines = QString(plainText)
                                  .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                  .split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        for (const QChar c : line) {
            if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
                rtf += QLatin1Char('\\');
                rtf += c;
            } else if (c == QLatin1Char('\t')) {
                rtf += QLatin1String("\\tab ");
            } else {
                rtf += c;
            }
        }
        rtf += QLatin1String("\\par ");
    }
    rtf += QLatin1Char('}');
    return rtf;
}

std::string Readable(const QString &text, bool rtf) {
    QString shown = text;
    if (rtf) {
        shown.replace(QLatin1String("\\par "), QLatin1String("\\par \n"));
    } else {
        shown.replace(QLatin1String("\r\n"), QLatin1String("\u21b5\n"));
        shown.replace(QLatin1Char('\r'), QLatin1String("[CR]"));
        shown.replace(QLatin1Char(' '), QChar(0x00B7));
    }
    return shown.toStdString();
}
