#include "app/windowArrangement.h"

QList<QRect> TileStacked(const QRect &area, int count) {
    QList<QRect> places;
    if (count <= 0) {
        return places;
    }
    const int height = area.height() / count;
    for (int i = 0; i < count; ++i) {
        const int top = area.top() + i * height;
        const int h = i == count - 1 ? area.bottom() + 1 - top : height;
        places.append(QRect(area.left(), top, area.width(), h));
    }
    return places;
}

QList<QRect> TileSideBySide(const QRect &area, int count) {
    QList<QRect> places;
    if (count <= 0) {
        return places;
    }
    const int width = area.width() / count;
    for (int i = 0; i < count; ++i) {
        const int left = area.left() + i * width;
        const int w = i == count - 1 ? area.right() + 1 - left : width;
        places.append(QRect(left, area.top(), w, area.height()));
    }
    return places;
}

QList<QRect> ArrangeIcons(const QRect &area, const QSize &iconSize, int count) {
    QList<QRect> places;
    const int perRow = std::max(1, area.width() / std::max(1, iconSize.width()));
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        places.append(QRect(QPoint(area.left() + column * iconSize.width(),
                                   area.bottom() + 1 - (row + 1) * iconSize.height()),
                            iconSize));
    }
    return places;
}
