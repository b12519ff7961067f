#pragma once

// The layout of a query window's two panes, in twips: the editor on top, the grid below it, and
// the splitter handle between them. Pure arithmetic, so that the window only applies the result.
struct PaneLayout {
    int editorHeight = 2055;
    int handleTop = 1980;
    int gridTop = 0;
    int gridHeight = 0;
};

inline constexpr int kMinEditorHeight = 1500;  // the lowest splitter position on release
inline constexpr int kMinGridRoom = 3000;      // room kept below the splitter on release
inline constexpr int kPaneGap = 50;            // between the editor and the grid
inline constexpr int kGridBottomMargin = 30;   // below the grid
inline constexpr int kBarMargin = 500;         // the dragged bar stays this far from both ends
inline constexpr int kHandleHeight = 135;

enum class LayoutMode { Resized = 1, SplitterReleased = 2 };

// Lays the panes out in a window of the given outer height (frame and caption included) and
// inner height. On a resize the editor keeps its height; on a release of the splitter at y the
// editor takes the height y, limited to kMinEditorHeight .. outerHeight - kMinGridRoom (the
// upper limit wins). A size that would be negative is not applied: that pane, and for the
// editor the handle too, keep their former values.
PaneLayout LayoutPanes(PaneLayout current, double y, LayoutMode mode, int outerHeight,
                       int innerHeight);

// Where the bar that follows the mouse stands while the splitter is dragged to pos.
int SplitterBarTop(int pos, int outerHeight);
