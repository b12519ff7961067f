#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "files/sessionStore.h"

class QLockFile;

// The folder of session files, one "session-<id>.json" per running program, each guarded by a
// lock file "session-<id>.lock" that holds its owner's process id. A session whose lock can be
// taken belongs to a program that has ended (normally, or by a crash); the lock of a running
// program cannot be taken, so its session is left alone.
class SessionFolder {
public:
    // Creates the folder when needed and locks a new session for this program. Throws Failure
    // when the folder cannot be made or the lock cannot be taken.
    explicit SessionFolder(const QString &folder);
    // Unlocks this program's session; its file stays for the next start to take over.
    ~SessionFolder();
    SessionFolder(const SessionFolder &) = delete;
    SessionFolder &operator=(const SessionFolder &) = delete;

    QString Folder() const { return folder_; }
    // This program's session file (written by the caller).
    QString SessionPath() const { return sessionPath_; }

    // What an earlier program left: its sessions, oldest first, and the files that could not be
    // read, already set aside (their new names).
    struct Leftovers {
        QList<Session> sessions;
        QStringList setAside;
    };
    // Takes over the sessions of every ended program: locks them, reads them and sets aside the
    // damaged ones. The taken files stay (and stay locked) until DropTaken, so that a crash in
    // between loses nothing.
    Leftovers TakeOver();
    // Removes the files taken over, once their windows are safe in this program's session.
    void DropTaken();

private:
    QString folder_;
    QString sessionPath_;
    std::unique_ptr<QLockFile> lock_;
    struct Taken {
        QString path;
        std::unique_ptr<QLockFile> lock;
    };
    std::vector<Taken> taken_;
};

// The lock file that guards a session file.
QString SessionLockPath(const QString &sessionPath);
