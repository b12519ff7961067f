#pragma once

#include <QChar>
#include <QString>

// Rules of the time-out box: it always holds a whole number of seconds as ASCII digits
// without leading zeros ("0" alone for no limit), at most eight digits.
inline constexpr int kTimeoutDigits = 8;

// True for the characters that typing may insert: "0" to "9" and Backspace.
bool IsTimeoutCharacter(QChar character);

// The box's text after a change: only its ASCII digits are kept (pasted text may bring
// anything), leading zeros are dropped, at most eight digits remain, and an empty text
// becomes "0".
QString NormalizeTimeoutText(const QString &text);

// The number of seconds that a normalized text stands for.
int TimeoutTextToSeconds(const QString &text);
