#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

#include "core/failure.h"
#include "engines/keywordPainter.h"

// Keeps the entries of a colouring keyword file between colourings, so that a key press costs a
// look at the file's size and times rather than a read. The file is read and parsed again as
// soon as it changes; a file that does not exist is always handed to the loader, which reports
// why (no folder, no file).
class ColorKeywordCache {
public:
    // Reads and parses a keyword file, throwing a Failure.
    using Loader = std::function<QList<ColorKeyword>(const QString &path)>;

    // The entries of the file at `path`, loaded anew when the path or the file changed since the
    // last call. A failure to load is thrown again, unchanged, while the file stays as it is.
    const QList<ColorKeyword> &Keywords(const QString &path, const Loader &load);

    // Counts the loads that gave entries: colours made with an older count may be out of date.
    quint64 Generation() const { return generation_; }

private:
    struct Stamp {
        QString path;
        qint64 size = 0;
        qint64 modified = 0;  // milliseconds since the epoch
        qint64 changed = 0;   // metadata (owner, permissions) change, milliseconds
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };
    static std::optional<Stamp> StampOf(const QString &path);

    std::optional<Stamp> stamp_;  // the file as it was when last loaded
    QList<ColorKeyword> keywords_;
    std::optional<Failure> failure_;
    quint64 generation_ = 0;
};
