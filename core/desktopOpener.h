#pragma once

#include <QString>

// Hands a file to the desktop, which opens it with the user's default application for its type.
// The program uses one opener; tests install their own.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // True when an application took the file (a local path, or an address such as https://...).
    virtual bool open(const QString &path) = 0;
};

// The opener in use: the desktop's own (QDesktopServices) unless a test installed another.
DesktopOpener &CurrentDesktopOpener();
// Installs `opener` (nullptr restores the desktop's own) and returns the previous one.
DesktopOpener *SetDesktopOpener(DesktopOpener *opener);
