#include "engines/iconvConverter.h"

#include <cerrno>

#include "core/failure.h"

IconvConverter::IconvConverter(const char *toCode, const char *fromCode)
    : descriptor_(iconv_open(toCode, fromCode)) {
    if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
        throw Failure{FailureNumber::General,
                      QStringLiteral("文字コード %1 から %2 への変換を利用できません。")
                          .arg(QLatin1String(fromCode), QLatin1String(toCode))};
    }
}

IconvConverter::~IconvConverter() {
    iconv_close(descriptor_);
}

void IconvConverter::reset() {
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
}

IconvConverter::Stop IconvConverter::convertPart(const char *&in, size_t &inLeft, QByteArray &out) {
    char buffer[16384];
    while (inLeft > 0) {
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(descriptor_, const_cast<char **>(&in), &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            return Stop::Invalid;
        }
    }
    char *outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(descriptor_, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
    return Stop::Done;
}

std::optional<QByteArray> IconvConverter::convert(const QByteArray &input) {
    reset();
    QByteArray out;
    out.reserve(input.size() * 2);
    const char *in = input.constData();
    size_t inLeft = static_cast<size_t>(input.size());
    if (convertPart(in, inLeft, out) == Stop::Invalid) {
        return std::nullopt;
    }
    return out;
}

QByteArray IconvConverter::convertLossy(const QByteArray &input, const QByteArray &replacement) {
    reset();
    QByteArray out;
    out.reserve(input.size() * 2);
    const char *in = input.constData();
    size_t inLeft = static_cast<size_t>(input.size());
    // Each stop skips one offending byte, so the loop always advances.
    while (convertPart(in, inLeft, out) == Stop::Invalid) {
        out.append(replacement);
        ++in;
        --inLeft;
        reset();
    }
    return out;
}
