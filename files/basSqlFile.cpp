#include "files/basSqlFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/clsMsg.h"

namespace {

QString ReadFailureText(const QString &path, const QString &reason) {
    return QStringLiteral("ファイル \"%1\" を読み込めません。\n%2").arg(path, reason);
}

QString WriteFailureText(const QString &path, const QString &reason) {
    return QStringLiteral("ファイル \"%1\" に書き込めません。\n%2").arg(path, reason);
}

}  // namespace

QString NormalizeSqlLines(const QString &text) {
    QString result;
    result.reserve(text.size() + text.size() / 16 + 2);
    qsizetype start = 0;
    const qsizetype length = text.size();
    while (start < length) {
        qsizetype cr = text.indexOf(QLatin1Char('\r'), start);
        if (cr < 0) {
            cr = length;
        }
        result.append(QStringView(text).sliced(start, cr - start));
        result.append(QLatin1String("\r\n"));
        start = cr + 1;
        if (start < length && text.at(start) == QLatin1Char('\n')) {
            ++start;
        }
    }
    return result;
}

QString ReadSqlFile(const QString &path, TextEncoding *encoding) {
    if (path.isEmpty()) {
        return QString();
    }
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        return QString();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        clsMsg().ShowError(ReadFailureText(path, file.errorString()));
        return QString();
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        clsMsg().ShowError(ReadFailureText(path, file.errorString()));
        return QString();
    }
    DecodedText decoded = DecodeText(bytes);
    if (encoding) {
        *encoding = decoded.encoding;
    }
    return NormalizeSqlLines(decoded.text);
}

std::optional<TextEncoding> WriteSqlFile(const QString &path, const QString &text,
                                         std::optional<TextEncoding> encoding) {
    if (path.isEmpty() || text.isEmpty()) {
        return std::nullopt;
    }
    TextEncoding used = TextEncoding::Cp932;
    const QByteArray bytes = EncodeText(text, encoding.value_or(TextEncoding::Cp932), &used);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        clsMsg().ShowError(WriteFailureText(path, file.errorString()));
        return std::nullopt;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        clsMsg().ShowError(WriteFailureText(path, file.errorString()));
        file.cancelWriting();
        return std::nullopt;
    }
    return used;
}
