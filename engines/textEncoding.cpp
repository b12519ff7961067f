#include "engines/textEncoding.h"

#include <QStringDecoder>

#include "engines/iconvConverter.h"

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// UTF-8 as it stands: a byte-order mark at the start is kept as U+FEFF.
QString Utf8Verbatim(QByteArrayView bytes, bool *valid = nullptr) {
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (valid) {
        *valid = !utf8.hasError();
    }
    return text;
}

std::optional<QByteArray> Encode(const QString &text, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp932:
            return EncodeCp932(text);
        case TextEncoding::Utf8:
            return text.toUtf8();
        case TextEncoding::Utf8Bom:
            break;
    }
    return kUtf8Bom + text.toUtf8();
}

}  // namespace

DecodedText DecodeText(const QByteArray &bytes) {
    if (bytes.startsWith(kUtf8Bom)) {
        return {Utf8Verbatim(QByteArrayView(bytes).sliced(kUtf8Bom.size())), TextEncoding::Utf8Bom};
    }
    bool valid = false;
    QString text = Utf8Verbatim(bytes, &valid);
    if (valid) {
        return {text, TextEncoding::Utf8};
    }
    IconvConverter toUtf8("UTF-8", "CP932");
    return {Utf8Verbatim(toUtf8.convertLossy(bytes, QByteArray("\xEF\xBF\xBD"))),
            TextEncoding::Cp932};
}

std::optional<QByteArray> EncodeCp932(const QString &text) {
    IconvConverter toCp932("CP932", "UTF-8");
    return toCp932.convert(text.toUtf8());
}

std::optional<QByteArray> EncodeText(const QString &text, TextEncoding encoding,
                                     TextEncoding *usedEncoding) {
    for (const TextEncoding candidate : {encoding, TextEncoding::Utf8Bom}) {
        std::optional<QByteArray> bytes = Encode(text, candidate);
        if (bytes && DecodeText(*bytes).text == text) {
            *usedEncoding = candidate;
            return bytes;
        }
    }
    return std::nullopt;
}
