#pragma once

#include <QPaintDevice>

#include <algorithm>
#include <cmath>

// Converts between twips (1440 per inch), in which the windows' sizes are designed and stored,
// and the pixels of a screen at its logical resolution.
class Twips {
public:
    explicit Twips(const QPaintDevice *device)
        : Twips(device->logicalDpiX(), device->logicalDpiY()) {}
    // A screen of the given logical resolution, in dots per inch.
    Twips(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    // Whole twips over whole twips per pixel, truncated, as the frame computes its minimum.
    int toPixelsX(double twips) const { return ToPixels(twips, PerPixel(dpiX_)); }
    int toPixelsY(double twips) const { return ToPixels(twips, PerPixel(dpiY_)); }
    float toTwipsX(int pixels) const { return static_cast<float>(pixels * PerPixel(dpiX_)); }
    float toTwipsY(int pixels) const { return static_cast<float>(pixels * PerPixel(dpiY_)); }

    // To the nearest pixel and back to the nearest twip, at the vertical resolution, for a layout
    // that is kept in twips and followed on screen as the window is resized (the query window's
    // panes).
    int toPixelsRoundedY(double twips) const {
        return static_cast<int>(std::lround(twips * dpiY_ / 1440.0));
    }
    int toTwipsRoundedY(int pixels) const {
        return static_cast<int>(std::lround(pixels * 1440.0 / dpiY_));
    }

private:
    static double PerPixel(int dpi) { return 1440.0 / dpi; }
    static int ToPixels(double twips, double perPixel) {
        const long long whole = std::llround(twips);
        const long long step = std::max(1LL, std::llround(perPixel));
        return static_cast<int>(whole / step);
    }
    int dpiX_;
    int dpiY_;
};
