#include "ui/windowArrangement.h"

#include <algorithm>

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

namespace {

// Below this a query window no longer shows a useful part of its editor and grid.
constexpr QSize kUsableWindowSize(360, 240);

// Three quarters of the area, smaller where that lets every one of the windows stand on one
// diagonal, but never below the usable size (nor larger than the area).
QSize CascadeSize(const QRect &area, int count, int step) {
    const int stagger = (count - 1) * step;
    return QSize(area.width() * 3 / 4, area.height() * 3 / 4)
        .boundedTo(area.size() - QSize(stagger, stagger))
        .expandedTo(kUsableWindowSize)
        .boundedTo(area.size());
}

// How many places the stagger has before it starts again at the top left.
int CascadeLength(const QRect &area, const QSize &size, int step) {
    return 1 +
           std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step);
}

}  // namespace

QList<QRect> CascadePlaces(const QRect &area, int count, int step) {
    step = std::max(1, step);
    QList<QRect> places;
    const QSize size = CascadeSize(area, count, step);
    const int length = CascadeLength(area, size, step);
    for (int i = 0; i < count; ++i) {
        const int offset = (i % length) * step;
        places.append(QRect(area.topLeft() + QPoint(offset, offset), size));
    }
    return places;
}

QRect NewWindowPlace(const QRect &area, int step, const QList<QPoint> &openTopLefts) {
    step = std::max(1, step);
    const int length = CascadeLength(area, CascadeSize(area, 1, step), step);
    const QList<QRect> places = CascadePlaces(area, length, step);
    for (const QRect &place : places) {
        if (!openTopLefts.contains(place.topLeft())) {
            return place;
        }
    }
    return places[openTopLefts.size() % length];
}

QRect FirstRunPlace(const QRect &screen) {
    QRect place(0, 0, screen.width() * 3 / 4, screen.height() * 3 / 4);
    place.moveCenter(screen.center());
    return place;
}
