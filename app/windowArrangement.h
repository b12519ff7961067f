#pragma once

#include <QList>
#include <QRect>

// Places for n windows in an area: stacked one above the other over the full width, or side by
// side over the full height. The last window takes what the division leaves over.
QList<QRect> TileStacked(const QRect &area, int count);
QList<QRect> TileSideBySide(const QRect &area, int count);
// Places for n minimised windows of the given size, in rows from the bottom left of the area.
QList<QRect> ArrangeIcons(const QRect &area, const QSize &iconSize, int count);
