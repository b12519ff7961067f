#pragma once

#include "core/desktopOpener.h"

// Puts `opener` in the place of the desktop's opener for the life of the object, and the
// previous one back after it.
class ScopedDesktopOpener {
public:
    explicit ScopedDesktopOpener(DesktopOpener &opener) : previous_(SetDesktopOpener(&opener)) {}
    ~ScopedDesktopOpener() { SetDesktopOpener(previous_); }
    ScopedDesktopOpener(const ScopedDesktopOpener &) = delete;
    ScopedDesktopOpener &operator=(const ScopedDesktopOpener &) = delete;

private:
    DesktopOpener *previous_;
};
