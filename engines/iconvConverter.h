#pragma once

#include <QByteArray>

#include <iconv.h>

#include <optional>

// Owns one iconv conversion descriptor.
class IconvConverter {
public:
    IconvConverter(const char *toCode, const char *fromCode);
    ~IconvConverter();
    IconvConverter(const IconvConverter &) = delete;
    IconvConverter &operator=(const IconvConverter &) = delete;

    // Converts the whole input; nothing when a character cannot be converted.
    std::optional<QByteArray> convert(const QByteArray &input);
    // Converts the whole input, putting `replacement` in place of each unconvertible byte.
    QByteArray convertLossy(const QByteArray &input, const QByteArray &replacement);

private:
    enum class Stop { Done, Invalid };
    Stop convertPart(const char *&in, size_t &inLeft, QByteArray &out);
    void reset();

    iconv_t descriptor_;
};
