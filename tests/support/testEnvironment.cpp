#include "tests/support/testEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "tests/support/recordingPresenter.h"

namespace {
QTemporaryDir *gFolder = nullptr;
UnexpectedBoxPresenter gUnexpected;
}  // namespace

void PrepareTestProcess() {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tessory-test-XXXXXX"));
    gFolder = &folder;
    const QString config = folder.path() + QStringLiteral("/config");
    QDir().mkpath(config);
    setenv("XDG_CONFIG_HOME", config.toLocal8Bit().constData(), 1);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    clsMsg::setPresenter(&gUnexpected);
}

QString TestProcessFolder() {
    return gFolder ? gFolder->path() : QDir::tempPath();
}

void ClearSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(kAppTitle));
    store.clear();
    store.sync();
}

QString TestSourceFolder() {
    return QStringLiteral(TESSORY_TEST_SOURCE_DIR);
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}
