#include "files/textEncoding.h"

#include <QStringDecoder>

#include "files/iconvConverter.h"

namespace {
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
}

DecodedText DecodeText(const QByteArray &bytes) {
    if (bytes.startsWith(kUtf8Bom)) {
        return {QString::fromUtf8(bytes.sliced(kUtf8Bom.size())), TextEncoding::Utf8Bom};
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return {text, TextEncoding::Utf8};
    }
    IconvConverter toUtf8("UTF-8", "CP932");
    return {QString::fromUtf8(toUtf8.convertLossy(bytes, QByteArray("\xEF\xBF\xBD"))),
            TextEncoding::Cp932};
}

std::optional<QByteArray> EncodeCp932(const QString &text) {
    IconvConverter toCp932("CP932", "UTF-8");
    return toCp932.convert(text.toUtf8());
}

QByteArray EncodeText(const QString &text, TextEncoding encoding, TextEncoding *usedEncoding) {
    if (encoding == TextEncoding::Cp932) {
        if (std::optional<QByteArray> bytes = EncodeCp932(text)) {
            *usedEncoding = TextEncoding::Cp932;
            return *bytes;
        }
        encoding = TextEncoding::Utf8Bom;
    }
    *usedEncoding = encoding;
    return encoding == TextEncoding::Utf8Bom ? kUtf8Bom + text.toUtf8() : text.toUtf8();
}
