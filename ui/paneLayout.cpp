#include "ui/paneLayout.h"

#include <cmath>

PaneLayout LayoutPanes(PaneLayout current, double y, LayoutMode mode, int outerHeight,
                       int innerHeight) {
    PaneLayout layout = current;
    if (y < kMinEditorHeight) {
        y = kMinEditorHeight;
    }
    if (y > outerHeight - kMinGridRoom) {
        y = outerHeight - kMinGridRoom;
    }
    if (mode == LayoutMode::SplitterReleased && y >= 0) {
        const int height = static_cast<int>(std::lround(y));
        layout.editorHeight = height;
        layout.handleTop = height;
    }
    layout.gridTop = layout.editorHeight + kPaneGap;
    const int gridHeight = innerHeight - (layout.editorHeight + kPaneGap + kGridBottomMargin);
    if (gridHeight >= 0) {
        layout.gridHeight = gridHeight;
    }
    return layout;
}

int SplitterBarTop(int pos, int outerHeight) {
    if (pos < kBarMargin) {
        return kBarMargin;
    }
    if (pos > outerHeight - kBarMargin) {
        return outerHeight - kBarMargin;
    }
    return pos;
}
