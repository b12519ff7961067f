#include "files/basSqlFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/clsMsg.h"

namespace {

QString ReadFailureText(const QString &path, const QString &reason) {
    return QStringLiteral("ファイル \"%1\" を読み込めません。\n%2").arg(path, reason);
}

QString WriteFailureText(const QString &path, const QString &reason) {
    return QStringLiteral("ファイル \"%1\" に書き込めません。\n%2").arg(path, reason);
}

// The file that holds the text: the file's own bytes while they still read as the text, or the
// text in the file's encoding and line breaks. Nothing when no encoding gives the text back.
std::optional<SqlFileFormat> EncodeSqlFile(const QString &text,
                                           const std::optional<SqlFileFormat> &format) {
    if (FileHoldsText(format, text)) {
        return format;
    }
    const SqlFileFormat wanted = format.value_or(SqlFileFormat{});
    const QString fileText = WithLineEnd(ToCrLf(text), wanted.lineEnd);
    TextEncoding used = wanted.encoding;
    std::optional<QByteArray> bytes = EncodeText(fileText, wanted.encoding, &used);
    if (!bytes) {
        return std::nullopt;
    }
    return SqlFileFormat{used, wanted.lineEnd, std::move(*bytes)};
}

}  // namespace

bool FileHoldsText(const std::optional<SqlFileFormat> &format, const QString &text) {
    return format && !format->contents.isEmpty() &&
           ToCrLf(DecodeText(format->contents).text) == text;
}

std::optional<QString> ReadSqlFile(const QString &path, SqlFileFormat *format) {
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
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        clsMsg().ShowError(ReadFailureText(path, file.errorString()));
        return std::nullopt;
    }
    const DecodedText decoded = DecodeText(bytes);
    if (format) {
        *format = {decoded.encoding, DetectLineEnd(decoded.text), bytes};
    }
    return ToCrLf(decoded.text);
}

std::optional<SqlFileFormat> WriteSqlFile(const QString &path, const QString &text,
                                          const std::optional<SqlFileFormat> &format) {
    if (path.isEmpty() || text.isEmpty()) {
        return std::nullopt;
    }
    std::optional<SqlFileFormat> written = EncodeSqlFile(text, format);
    if (!written) {
        clsMsg().ShowError(
            WriteFailureText(path, QStringLiteral("ファイルに保存できない文字が含まれています。")));
        return std::nullopt;
    }
    const QByteArray &bytes = written->contents;
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
    return written;
}
