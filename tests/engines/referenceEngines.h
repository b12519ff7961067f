#pragma once

#include <QList>
#include <QString>

#include "engines/clsArrangeQuery.h"
#include "engines/keywordPainter.h"

// Straightforward versions of the two engines' rewriting steps, kept in the tests to check the
// fast engines against: every match rewrites the whole string and every search lowers the whole
// text again, exactly as the rules are written, restricted to the user's text. Slow on purpose.

// Colours a prepared document (line breaks removed, tabs expanded, old codes removed).
QString ReferenceColorKeywords(const QString &text, const QList<ColorKeyword> &list);

// Arranges a text; throws Failure 6 where the fast formatter must too.
QString ReferenceArrangeText(const QString &text, const QList<ArrangeKeyword> &list);
