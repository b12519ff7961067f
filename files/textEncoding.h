#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The encodings in which the program reads and writes text files.
enum class TextEncoding {
    Cp932,    // Shift-JIS as written on Japanese systems
    Utf8,     // UTF-8 without a byte-order mark
    Utf8Bom,  // UTF-8 with a byte-order mark
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
};

// UTF-8 when the bytes start with its byte-order mark or are valid UTF-8, otherwise CP932
// (a byte that is not CP932 either becomes U+FFFD).
DecodedText DecodeText(const QByteArray &bytes);

// CP932 bytes of the text, or nothing when it holds a character CP932 cannot represent.
std::optional<QByteArray> EncodeCp932(const QString &text);

// The bytes of the text in the encoding; CP932 falls back to UTF-8 with a byte-order mark when
// the text holds a character CP932 lacks, so that nothing is lost. The encoding used is
// returned through usedEncoding.
QByteArray EncodeText(const QString &text, TextEncoding encoding, TextEncoding *usedEncoding);
