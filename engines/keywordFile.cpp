#include "engines/keywordFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

#include "core/failure.h"
#include "engines/basCsv.h"
#include "engines/textEncoding.h"

namespace {
constexpr qsizetype kMaxLineBreaks = 32766;

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView TrimSpaces(QStringView line) {
    while (line.startsWith(QLatin1Char(' '))) {
        line = line.sliced(1);
    }
    while (line.endsWith(QLatin1Char(' '))) {
        line.chop(1);
    }
    return line;
}
}  // namespace

QString ReadKeywordFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        throw MakeFailure(FailureNumber::PathNotFound);
    }
    if (!info.exists()) {
        throw MakeFailure(FailureNumber::FileNotFound);
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        throw MakeFailure(FailureNumber::PermissionDenied);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw MakeFailure(FailureNumber::PermissionDenied);
    }
    if (bytes.isEmpty()) {
        throw MakeFailure(FailureNumber::SubscriptRange);
    }
    return DecodeText(bytes).text;
}

QStringList KeywordFileLines(const QString &content) {
    const QLatin1String crLf("\r\n");
    if (content.count(crLf) > kMaxLineBreaks) {
        throw MakeFailure(FailureNumber::Overflow);
    }
    return content.split(crLf);
}

void ForEachKeywordEntry(const QString &content, qsizetype fieldCount, KeywordLineSpaces spaces,
                         const std::function<void(const QStringList &fields)> &entry) {
    const QStringList lines = KeywordFileLines(content);
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString &line = lines.at(n);
        const QStringView kept = spaces == KeywordLineSpaces::Trimmed ? TrimSpaces(line) : line;
        if (kept.isEmpty()) {
            continue;
        }
        const QStringList fields =
            SplitCsvLine(kept.size() == line.size() ? line : kept.toString());
        if (fields.size() < fieldCount) {
            throw MakeFailure(FailureNumber::SubscriptRange);
        }
        entry(fields);
    }
}

short KeywordFileNumber(const QString &field) {
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && IsBlank(field.at(begin))) {
        ++begin;
    }
    while (end > begin && IsBlank(field.at(end - 1))) {
        --end;
    }
    bool negative = false;
    if (begin < end &&
        (field.at(begin) == QLatin1Char('-') || field.at(begin) == QLatin1Char('+'))) {
        negative = field.at(begin) == QLatin1Char('-');
        ++begin;
    }
    if (begin == end) {
        throw MakeFailure(FailureNumber::TypeMismatch);
    }
    long long value = 0;
    bool tooLarge = false;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = field.at(i).unicode();
        if (c < u'0' || c > u'9') {
            throw MakeFailure(FailureNumber::TypeMismatch);
        }
        if (!tooLarge) {
            value = value * 10 + (c - u'0');
            tooLarge = value > 32768;
        }
    }
    if (negative) {
        value = -value;
    }
    if (tooLarge || value < std::numeric_limits<short>::min() ||
        value > std::numeric_limits<short>::max()) {
        throw MakeFailure(FailureNumber::Overflow);
    }
    return static_cast<short>(value);
}

QString KeywordFileBesideProgram(const QString &fileName) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + fileName;
}
