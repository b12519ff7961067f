#pragma once

#include <QPaintDevice>

#include <cmath>

// Converts between twips (1440 per inch), in which the window's sizes are designed and stored,
// and the pixels of a screen at its logical resolution.
class Twips {
public:
    explicit Twips(const QPaintDevice *device)
        : perPixelX_(1440.0 / device->logicalDpiX()), perPixelY_(1440.0 / device->logicalDpiY()) {}
    Twips(double perPixelX, double perPixelY) : perPixelX_(perPixelX), perPixelY_(perPixelY) {}

    // Whole twips over whole twips per pixel, truncated, as the frame computes its minimum.
    int toPixelsX(double twips) const { return ToPixels(twips, perPixelX_); }
    int toPixelsY(double twips) const { return ToPixels(twips, perPixelY_); }
    float toTwipsX(int pixels) const { return static_cast<float>(pixels * perPixelX_); }
    float toTwipsY(int pixels) const { return static_cast<float>(pixels * perPixelY_); }

private:
    static int ToPixels(double twips, double perPixel) {
        const long long whole = std::llround(twips);
        const long long step = std::max(1LL, std::llround(perPixel));
        return static_cast<int>(whole / step);
    }
    double perPixelX_;
    double perPixelY_;
};
