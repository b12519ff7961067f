#pragma once

#include <QString>

#include <optional>

// Lets a query window show the colouring engine's error box once instead of at every key
// press: a failure is shown when none has been shown yet, when the keyword file has changed
// since the last box (it appeared or vanished, or its size or modification time changed), or
// when a colouring succeeded in between.
class ColorFailureGate {
public:
    // At a failure of the colouring with `keywordFile`: true when its box is to be shown.
    bool Admit(const QString &keywordFile);
    // After a colouring that succeeded.
    void Reset() { shownFor_.reset(); }

private:
    struct FileStamp {
        QString path;
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;  // milliseconds since the epoch
        friend bool operator==(const FileStamp &, const FileStamp &) = default;
    };
    static FileStamp StampOf(const QString &path);

    std::optional<FileStamp> shownFor_;  // the file as it was at the last box shown
};
