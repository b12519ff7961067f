#include "files/sessionFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>

#include "core/failure.h"

namespace {

const QString kPrefix = QStringLiteral("session-");
const QString kSuffix = QStringLiteral(".json");

// A lock that only a running owner holds: no age makes it stale, only the end of the process
// whose id it names.
// A lock file without a readable owner (its writer died while making it) is taken once it is a
// minute old.
std::unique_ptr<QLockFile> TryLock(const QString &path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        return lock;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    const QDateTime made = QFileInfo(path).lastModified();
    if (lock->error() == QLockFile::LockFailedError &&
        !lock->getLockInfo(&pid, &host, &application) && made.isValid() &&
        made.secsTo(QDateTime::currentDateTime()) > 60 && lock->removeStaleLockFile() &&
        lock->tryLock(0)) {
        return lock;
    }
    return nullptr;
}

}  // namespace

QString SessionLockPath(const QString &sessionPath) {
    return sessionPath.chopped(kSuffix.size()) + QStringLiteral(".lock");
}

SessionFolder::SessionFolder(const QString &folder) : folder_(QDir(folder).absolutePath()) {
    if (!QDir().mkpath(folder_)) {
        throw Failure{FailureNumber::PathNotFound,
                      QStringLiteral("フォルダー \"%1\" を作成できません。").arg(folder_)};
    }
    // The start time and the process id name the session; a number is added for a second
    // session of the same process within the same millisecond (tests).
    const QString stem =
        kPrefix + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
        QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
    for (int n = 0; !lock_ && n < 100; ++n) {
        const QString name = n == 0 ? stem : stem + QLatin1Char('-') + QString::number(n);
        sessionPath_ = folder_ + QLatin1Char('/') + name + kSuffix;
        if (!QFileInfo::exists(sessionPath_)) {
            lock_ = TryLock(SessionLockPath(sessionPath_));
        }
    }
    if (!lock_) {
        throw Failure{
            FailureNumber::PermissionDenied,
            QStringLiteral("フォルダー \"%1\" にセッションを作成できません。").arg(folder_)};
    }
}

SessionFolder::~SessionFolder() {
    for (Taken &taken : taken_) {
        taken.lock->unlock();
    }
    lock_->unlock();
}

SessionFolder::Leftovers SessionFolder::TakeOver() {
    Leftovers leftovers;
    QFileInfoList files = QDir(folder_).entryInfoList({kPrefix + QLatin1Char('*') + kSuffix},
                                                      QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &file : files) {
        const QString path = file.absoluteFilePath();
        if (path == sessionPath_) {
            continue;
        }
        std::unique_ptr<QLockFile> lock = TryLock(SessionLockPath(path));
        if (!lock || !QFileInfo::exists(path)) {
            continue;  // a running program's session, or one another program took just now
        }
        QFile in(path);
        QString reason;
        std::optional<Session> session;
        if (in.open(QIODevice::ReadOnly)) {
            session = DecodeSession(in.readAll(), &reason);
            in.close();
        }
        if (!session) {
            const QString setAside = SetAsideDamaged(path);
            leftovers.setAside.append(setAside.isEmpty() ? path : setAside);
            lock->unlock();
            continue;
        }
        leftovers.sessions.append(*session);
        taken_.push_back({path, std::move(lock)});
    }
    // A program that ended before it had anything to keep left only its lock: take it to remove it.
    for (const QFileInfo &file :
         QDir(folder_).entryInfoList({kPrefix + QStringLiteral("*.lock")}, QDir::Files)) {
        const QString session = file.absoluteFilePath().chopped(5) + kSuffix;
        if (!QFileInfo::exists(session) &&
            file.absoluteFilePath() != SessionLockPath(sessionPath_)) {
            if (std::unique_ptr<QLockFile> lock = TryLock(file.absoluteFilePath())) {
                lock->unlock();
            }
        }
    }
    return leftovers;
}

void SessionFolder::DropTaken() {
    for (Taken &taken : taken_) {
        QFile::remove(taken.path);
        taken.lock->unlock();
    }
    taken_.clear();
}
