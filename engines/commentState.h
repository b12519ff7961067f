#pragma once

#include <QString>
#include <QStringView>

// Where the colouring's comments leave a line, worked out from the plain text alone: much
// cheaper than colouring the line, so that the state of every line of a long text is known
// without colouring the lines nobody looks at. The rules are the colouring engine's: "--" starts
// a comment that ends with its line; "/*" starts one that ends after the first "*/" found from
// the opener itself on (so "/*/" opens and closes); whichever marker comes first wins.

// Whether a line (no line break in it) ends inside a block comment, given whether it starts in
// one.
bool LineEndsInComment(QStringView line, bool startsInComment);

// The line with each tab written as the spaces the colouring engine puts in its place.
QString ExpandLineTabs(const QString &line, short tabSpaceNum);
