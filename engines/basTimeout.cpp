#include "engines/basTimeout.h"

bool IsTimeoutCharacter(QChar character) {
    return (character >= QLatin1Char('0') && character <= QLatin1Char('9')) ||
           character == QChar(8);
}

QString NormalizeTimeoutText(const QString &text) {
    QString digits;
    for (const QChar character : text) {
        if (character >= QLatin1Char('0') && character <= QLatin1Char('9')) {
            if (digits.isEmpty() && character == QLatin1Char('0')) {
                continue;  // a leading zero
            }
            digits.append(character);
        }
    }
    digits.truncate(kTimeoutDigits);
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

int TimeoutTextToSeconds(const QString &text) {
    // Eight digits at most, so the value always fits.
    return NormalizeTimeoutText(text).toInt();
}
