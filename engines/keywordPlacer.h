#pragma once

#include <QString>
#include <QStringView>

#include "engines/clsArrangeQuery.h"

// The text being arranged, with its lower-cased twin: lowering is done one character for one
// character, so positions in both are the same, and the twin is kept up to date alongside the
// text instead of being made again for every search.
struct CasedText {
    QString text;
    QString lower;
};

CasedText MakeCasedText(QString text);

// True for a keyword of nothing but spaces and CRs, or of nothing at all. Such an entry is
// skipped: it would match the indentation and line breaks that placing it writes ahead of the
// search, and the formatting would never end.
bool IsLayoutOnly(QStringView keyword);

// Applies one entry of the formatter to the whole text, left to right, exactly as if the text
// were rewritten in full at every match; the rewritten text is built in one pass instead, so the
// cost is linear in the length of the text. Throws Failure 6 when the entry's indentation does
// not fit 16 bits.
CasedText PlaceKeywords(const CasedText &source, const ArrangeKeyword &entry);
