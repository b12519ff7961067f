#pragma once

#include <QString>
#include <QStringList>

#include "core/desktopOpener.h"

// Records every file handed to it instead of opening it, and answers with `answer` (true: an
// application took the file). GUI tests put it in the desktop's place with
// ScopedDesktopOpener.
class RecordingOpener final : public DesktopOpener {
public:
    bool open(const QString &path) override {
        opened.append(path);
        return answer;
    }

    QStringList opened;
    bool answer = true;
};
