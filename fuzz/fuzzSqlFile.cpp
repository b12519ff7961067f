// The .sql file reader and writer on any file content. Reading gives CR LF text in the
// encoding the bytes call for; a file written back unedited is byte-identical; edited text and
// new text (any UTF-16, lone surrogates too) read back as written, or are refused with an
// error box only where no encoding can hold them.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <optional>

#include "files/basSqlFile.h"
#include "fuzz/fuzzSupport.h"

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

QString Folder() {
    // Memory-backed where there is one: every input writes four files.
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/tessory-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/tessory-fuzz-XXXXXX"));
    FUZZ_CHECK(dir.isValid(), dir.errorString());
    return dir.path();
}

QString PathOf(const char *name) {
    return Folder() + QLatin1Char('/') + QLatin1String(name);
}

QByteArray BytesOf(const QString &path) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), file.errorString());
    return file.readAll();
}

bool HasLoneSurrogate(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (text.at(i).isSurrogate()) {
            return true;
        }
    }
    return false;
}

QString ReadBack(BoxRecorder &boxes, const QString &path, SqlFileFormat *format = nullptr) {
    const std::optional<QString> text = ReadSqlFile(path, format);
    FUZZ_CHECK(text && boxes.texts().isEmpty(), boxes.texts().value(0));
    return *text;
}

void CheckRead(const QByteArray &bytes, const QString &text, const SqlFileFormat &format) {
    FUZZ_CHECK(text == WithCrLfBreaks(text), Escaped(text));
    FUZZ_CHECK(format.contents == bytes, QStringLiteral("contents differ"));
    if (bytes.startsWith(kBom)) {
        FUZZ_CHECK(format.encoding == TextEncoding::Utf8Bom, QString::number(int(format.encoding)));
    } else if (QString::fromUtf8(bytes).toUtf8() == bytes) {
        FUZZ_CHECK(format.encoding == TextEncoding::Utf8, QString::number(int(format.encoding)));
        FUZZ_CHECK(text == WithCrLfBreaks(QString::fromUtf8(bytes)), Escaped(text));
    } else {
        FUZZ_CHECK(format.encoding == TextEncoding::Cp932, QString::number(int(format.encoding)));
    }
    FUZZ_CHECK(text.isEmpty() == (bytes.isEmpty() || bytes == kBom), Escaped(text));
}

// Written unedited, the file's own bytes go back; edited, the text reads back as it is, in the
// file's line-break style and its encoding where that holds the text.
void CheckWriteBack(BoxRecorder &boxes, const QString &text, const SqlFileFormat &format) {
    FUZZ_CHECK(FileHoldsText(format, text), Escaped(text));
    const std::optional<SqlFileFormat> same = WriteSqlFile(PathOf("same.sql"), text, format);
    FUZZ_CHECK(same && *same == format && boxes.texts().isEmpty(), boxes.texts().value(0));
    FUZZ_CHECK(BytesOf(PathOf("same.sql")) == format.contents, QStringLiteral("bytes differ"));

    const QString edited = text + QStringLiteral("\r\n-- edited");
    const std::optional<SqlFileFormat> written = WriteSqlFile(PathOf("edited.sql"), edited, format);
    FUZZ_CHECK(written && boxes.texts().isEmpty(), boxes.texts().value(0));
    FUZZ_CHECK(written->encoding == format.encoding || written->encoding == TextEncoding::Utf8Bom,
               QString::number(int(written->encoding)));
    FUZZ_CHECK(written->lineEnd == format.lineEnd, QString::number(int(written->lineEnd)));
    FUZZ_CHECK(BytesOf(PathOf("edited.sql")) == written->contents, QStringLiteral("bytes differ"));
    const QString again = ReadBack(boxes, PathOf("edited.sql"));
    FUZZ_CHECK(again == edited,
               Escaped(again) + QLatin1String("\n  instead of\n") + Escaped(edited));
}

void CheckNewText(BoxRecorder &boxes, const QString &text) {
    const QString path = PathOf("new.sql");
    QFile::remove(path);
    const std::optional<SqlFileFormat> written = WriteSqlFile(path, text);
    if (text.isEmpty()) {
        FUZZ_CHECK(!written && !QFile::exists(path) && boxes.texts().isEmpty(), Escaped(text));
        return;
    }
    if (HasLoneSurrogate(text)) {
        FUZZ_CHECK(!written && boxes.texts().size() == 1 && !QFile::exists(path), Escaped(text));
        boxes.clear();
        return;
    }
    FUZZ_CHECK(written && boxes.texts().isEmpty(), boxes.texts().value(0));
    FUZZ_CHECK(
        written->encoding == TextEncoding::Cp932 || written->encoding == TextEncoding::Utf8Bom,
        QString::number(int(written->encoding)));
    const QString again = ReadBack(boxes, path);
    const QString expected = WithCrLfBreaks(text);
    FUZZ_CHECK(again == expected,
               Escaped(again) + QLatin1String("\n  instead of\n") + Escaped(expected));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static BoxRecorder boxes;
    boxes.clear();
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = PathOf("input.sql");
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(bytes) == bytes.size(),
                   file.errorString());
    }
    SqlFileFormat format;
    const QString text = ReadBack(boxes, path, &format);
    CheckRead(bytes, text, format);
    if (!text.isEmpty()) {
        CheckWriteBack(boxes, text, format);
    }
    CheckNewText(boxes, FuzzUtf16(data, size));
    return 0;
}
