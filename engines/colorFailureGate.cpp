#include "engines/colorFailureGate.h"

#include <QDateTime>
#include <QFileInfo>

ColorFailureGate::FileStamp ColorFailureGate::StampOf(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {path};
    }
    return {path, true, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

bool ColorFailureGate::Admit(const QString &keywordFile) {
    FileStamp now = StampOf(keywordFile);
    if (shownFor_ == now) {
        return false;
    }
    shownFor_ = std::move(now);
    return true;
}
