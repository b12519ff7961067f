#pragma once

#include <QList>
#include <QRect>

// Places for n windows in an area: stacked one above the other over the full width, or side by
// side over the full height. The last window takes what the division leaves over.
QList<QRect> TileStacked(const QRect &area, int count);
QList<QRect> TileSideBySide(const QRect &area, int count);
// Places for n minimised windows of the given size, in rows from the bottom left of the area.
QList<QRect> ArrangeIcons(const QRect &area, const QSize &iconSize, int count);

// Cascaded windows in an area: all of one size, the i-th moved i steps (a title bar's height)
// right and down from the top left, so that each title bar shows above the windows in front of
// it. The size is three quarters of the area, less where that keeps all the windows on one
// diagonal, never below a usable minimum nor above the area; when the next window would leave
// the area, the stagger starts again at the top left.
QList<QRect> CascadePlaces(const QRect &area, int count, int step);
// The place for a new window: the first place of a cascade of three-quarter windows whose top
// left no open window has, or, when all are taken, the one that follows the open windows.
QRect NewWindowPlace(const QRect &area, int step, const QList<QPoint> &openTopLefts);
// The frame's place when no placement is stored: three quarters of the screen, centred.
QRect FirstRunPlace(const QRect &screen);
