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
// (a byte that is not CP932 either becomes U+FFFD). Only the first byte-order mark is taken
// off: a U+FEFF after it belongs to the text.
DecodedText DecodeText(const QByteArray &bytes);

// CP932 bytes of the text, or nothing when it holds a character CP932 cannot represent.
std::optional<QByteArray> EncodeCp932(const QString &text);

// The bytes of the text in the encoding, checked to decode (DecodeText) to the same text.
// Where they would not, UTF-8 with a byte-order mark is used instead: CP932 that lacks a
// character or maps it to another, CP932 bytes that would be read as UTF-8, or a leading U+FEFF
// that would be taken for a byte-order mark. Nothing when not even that gives the text back
// (a lone surrogate). The encoding used is returned through usedEncoding.
std::optional<QByteArray> EncodeText(const QString &text, TextEncoding encoding,
                                     TextEncoding *usedEncoding);
