#include "files/sessionStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <utility>

#include "core/failure.h"

namespace {

const QString kFormat = QStringLiteral("tessory-session");

// The names under which encodings and line breaks are stored; stable across versions.
const std::array<std::pair<TextEncoding, const char *>, 3> kEncodings{{
    {TextEncoding::Cp932, "cp932"},
    {TextEncoding::Utf8, "utf-8"},
    {TextEncoding::Utf8Bom, "utf-8-bom"},
}};
const std::array<std::pair<LineEnd, const char *>, 3> kLineEnds{{
    {LineEnd::CrLf, "crlf"},
    {LineEnd::Lf, "lf"},
    {LineEnd::Cr, "cr"},
}};

template <typename Enum, std::size_t N>
QString NameOf(const std::array<std::pair<Enum, const char *>, N> &names, Enum value) {
    for (const auto &[known, name] : names) {
        if (known == value) {
            return QString::fromLatin1(name);
        }
    }
    return {};
}

template <typename Enum, std::size_t N>
std::optional<Enum> ValueOf(const std::array<std::pair<Enum, const char *>, N> &names,
                            const QString &text) {
    for (const auto &[known, name] : names) {
        if (text == QLatin1String(name)) {
            return known;
        }
    }
    return std::nullopt;
}

QJsonObject EncodeWindow(const SessionWindow &window) {
    QJsonObject object{
        {QStringLiteral("text"), window.text},
        {QStringLiteral("caption"), window.caption},
        {QStringLiteral("filePath"), window.filePath},
        {QStringLiteral("lineEnd"), NameOf(kLineEnds, window.lineEnd)},
        {QStringLiteral("caret"), window.caret},
        {QStringLiteral("verticalScroll"), window.verticalScroll},
        {QStringLiteral("horizontalScroll"), window.horizontalScroll},
        {QStringLiteral("fontFamily"), window.fontFamily},
        {QStringLiteral("fontPointSize"), window.fontPointSize},
        {QStringLiteral("fontBold"), window.fontBold},
        {QStringLiteral("fontItalic"), window.fontItalic},
        {QStringLiteral("closedAt"), window.closedAt},
    };
    if (window.encoding) {
        object.insert(QStringLiteral("encoding"), NameOf(kEncodings, *window.encoding));
    }
    return object;
}

QJsonArray EncodeWindows(const QList<SessionWindow> &windows) {
    QJsonArray array;
    for (const SessionWindow &window : windows) {
        array.append(EncodeWindow(window));
    }
    return array;
}

// Reads the values of one JSON object with their types checked; the first mismatch is kept as
// the reason and every later read is skipped.
class StrictReader {
public:
    explicit StrictReader(QString *reason) : reason_(reason) {}

    bool ok() const { return ok_; }
    void fail(const QString &why) {
        if (ok_) {
            ok_ = false;
            *reason_ = why;
        }
    }

    QString string(const QJsonObject &object, const char *key, bool required = false) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required) {
            return {};
        }
        if (!value.isString()) {
            fail(QStringLiteral("\"%1\" is not text").arg(QLatin1String(key)));
            return {};
        }
        return value.toString();
    }

    double number(const QJsonObject &object, const char *key, double low, double high) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return low < 0 ? 0 : low;
        }
        if (!value.isDouble() || value.toDouble() < low || value.toDouble() > high) {
            fail(QStringLiteral("\"%1\" is not a number in range").arg(QLatin1String(key)));
            return 0;
        }
        return value.toDouble();
    }

    int whole(const QJsonObject &object, const char *key) {
        const double value = number(object, key, 0, std::numeric_limits<int>::max());
        if (ok_ && value != static_cast<double>(static_cast<int>(value))) {
            fail(QStringLiteral("\"%1\" is not a whole number").arg(QLatin1String(key)));
        }
        return static_cast<int>(value);
    }

    bool boolean(const QJsonObject &object, const char *key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return false;
        }
        if (!value.isBool()) {
            fail(QStringLiteral("\"%1\" is not true or false").arg(QLatin1String(key)));
        }
        return value.toBool();
    }

    QJsonArray array(const QJsonObject &object, const char *key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return {};
        }
        if (!value.isArray()) {
            fail(QStringLiteral("\"%1\" is not a list").arg(QLatin1String(key)));
        }
        return value.toArray();
    }

private:
    QString *reason_;
    bool ok_ = true;
};

SessionWindow DecodeWindow(const QJsonObject &object, StrictReader &read) {
    SessionWindow window;
    window.text = read.string(object, "text", true);
    window.caption = read.string(object, "caption");
    window.filePath = read.string(object, "filePath");
    if (object.contains(QLatin1String("encoding"))) {
        window.encoding = ValueOf(kEncodings, read.string(object, "encoding"));
        if (!window.encoding) {
            read.fail(QStringLiteral("unknown encoding"));
        }
    }
    if (object.contains(QLatin1String("lineEnd"))) {
        const std::optional<LineEnd> lineEnd = ValueOf(kLineEnds, read.string(object, "lineEnd"));
        if (!lineEnd) {
            read.fail(QStringLiteral("unknown line end"));
        }
        window.lineEnd = lineEnd.value_or(LineEnd::CrLf);
    }
    window.caret = read.whole(object, "caret");
    window.verticalScroll = read.whole(object, "verticalScroll");
    window.horizontalScroll = read.whole(object, "horizontalScroll");
    window.fontFamily = read.string(object, "fontFamily");
    window.fontPointSize = read.number(object, "fontPointSize", 0, 1000);
    window.fontBold = read.boolean(object, "fontBold");
    window.fontItalic = read.boolean(object, "fontItalic");
    window.closedAt = static_cast<qint64>(read.number(object, "closedAt", 0, 9.0e15));
    return window;
}

QList<SessionWindow> DecodeWindows(const QJsonArray &array, StrictReader &read) {
    QList<SessionWindow> windows;
    for (const QJsonValue &value : array) {
        if (!value.isObject()) {
            read.fail(QStringLiteral("a window is not an object"));
            return {};
        }
        windows.append(DecodeWindow(value.toObject(), read));
    }
    return windows;
}

// Flushes a folder's entries (a rename within it) to the disk.
bool SyncFolder(const QString &folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

Failure WriteFailure(const QString &path, const QString &reason) {
    return Failure{FailureNumber::PermissionDenied,
                   QStringLiteral("ファイル \"%1\" に書き込めません。\n%2").arg(path, reason)};
}

}  // namespace

QByteArray EncodeSession(const Session &session) {
    const QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("version"), kSessionVersion},
        {QStringLiteral("activeWindow"), session.activeWindow},
        {QStringLiteral("windows"), EncodeWindows(session.windows)},
        {QStringLiteral("closed"), EncodeWindows(session.closed)},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<Session> DecodeSession(const QByteArray &bytes, QString *reason) {
    QString ignored;
    QString &why = reason ? *reason : ignored;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        why = QStringLiteral("not JSON: ") + error.errorString();
        return std::nullopt;
    }
    if (!document.isObject()) {
        why = QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != kFormat) {
        why = QStringLiteral("another format");
        return std::nullopt;
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() > kSessionVersion) {
        why = QStringLiteral("unknown version");
        return std::nullopt;
    }
    StrictReader read(&why);
    Session session;
    session.windows = DecodeWindows(read.array(root, "windows"), read);
    session.closed = DecodeWindows(read.array(root, "closed"), read);
    const QJsonValue active = root.value(QLatin1String("activeWindow"));
    if (!active.isUndefined() && !active.isDouble()) {
        read.fail(QStringLiteral("\"activeWindow\" is not a number"));
    }
    session.activeWindow = active.toInt(-1);
    if (session.activeWindow < -1 || session.activeWindow >= session.windows.size()) {
        session.activeWindow = session.windows.isEmpty() ? -1 : 0;
    }
    if (!read.ok()) {
        return std::nullopt;
    }
    return session;
}

void WriteFileDurably(const QString &path, const QByteArray &bytes) {
    // QSaveFile writes a temporary file beside the target, flushes it to the disk and renames it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw WriteFailure(path, file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw WriteFailure(path, reason);
    }
    if (!file.commit()) {
        throw WriteFailure(path, file.errorString());
    }
    if (!SyncFolder(QFileInfo(path).absolutePath())) {
        throw WriteFailure(path, QStringLiteral("フォルダーをディスクに書き込めません。"));
    }
}

QString SetAsideDamaged(const QString &path) {
    const QString stem = path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target = stem + QLatin1Char('-') + QString::number(n);
    }
    return QFile::rename(path, target) ? target : QString();
}
