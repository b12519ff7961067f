#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "engines/textEncoding.h"
#include "files/lineEnds.h"

// What the program keeps of one query window so that it can show it again: its text and
// caption, its file with the encoding and line breaks it is written in, the caret, the scroll
// position and the font.
struct SessionWindow {
    QString text;  // line breaks as CR LF, as the editor gives them
    QString caption;
    QString filePath;                      // empty for a window that has no file
    std::optional<TextEncoding> encoding;  // the file's format; nothing for new text
    LineEnd lineEnd = LineEnd::CrLf;
    int caret = 0;  // an offset into text
    int verticalScroll = 0;
    int horizontalScroll = 0;
    QString fontFamily;
    double fontPointSize = 0;  // 0: the stored font's size
    bool fontBold = false;
    bool fontItalic = false;
    qint64 closedAt = 0;  // when the user closed it (ms since the epoch); 0 while it is open
    friend bool operator==(const SessionWindow &, const SessionWindow &) = default;
};

// The state of one running program: its open windows in their order, the active one, and the
// windows it closed with text that no file holds (oldest first).
struct Session {
    QList<SessionWindow> windows;
    int activeWindow = -1;
    QList<SessionWindow> closed;
    friend bool operator==(const Session &, const Session &) = default;
};

// The version that EncodeSession writes; DecodeSession reads this one and older ones.
inline constexpr int kSessionVersion = 1;

// The session as a JSON document that names its format and version.
QByteArray EncodeSession(const Session &session);

// The session that the bytes hold, or nothing when they are not a session this program can read
// (empty, truncated, not JSON, another format, a newer version, a value of the wrong type); the
// reason is returned through `reason`. Nothing in the bytes is run or opened: the values are
// only taken over.
std::optional<Session> DecodeSession(const QByteArray &bytes, QString *reason = nullptr);

// Writes the bytes durably: to a temporary file in the same folder, flushed to the disk, renamed
// over the target, then the folder flushed so that the rename survives a power cut. Throws
// Failure when any step fails; the old file is then left as it was.
void WriteFileDurably(const QString &path, const QByteArray &bytes);

// Renames a file that cannot be read to "<name>.damaged-<date and time>" beside it (never
// deletes it) and returns the new path; empty when even the rename failed.
QString SetAsideDamaged(const QString &path);
