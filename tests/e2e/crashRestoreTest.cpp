// The program is killed (SIGKILL) while windows hold typed text; the next start shows every
// window again with its text. Both runs are real processes on the offscreen platform, with
// their own home, configuration and state folders.
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <optional>

namespace {

QProcessEnvironment ProbeEnvironment(const QTemporaryDir &home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral("state")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// Waits for a line of the probe that starts with the prefix; its rest, or nothing on time-out.
std::optional<QString> WaitForLine(QProcess &probe, const QString &prefix, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        while (probe.canReadLine()) {
            const QString line = QString::fromUtf8(probe.readLine()).trimmed();
            if (line.startsWith(prefix)) {
                return line.mid(prefix.size());
            }
        }
        probe.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    return std::nullopt;
}

TEST(CrashRestoreTest, AfterAKillTheNextStartShowsBothWindowsWithTheirTexts) {
    QTemporaryDir home;
    QProcess typing;
    typing.setProcessEnvironment(ProbeEnvironment(home));
    typing.start(QStringLiteral(TESSORY_SESSION_PROBE), {QStringLiteral("type")});
    ASSERT_TRUE(typing.waitForStarted());
    const std::optional<QString> lag = WaitForLine(typing, QStringLiteral("max-lag-ms="), 60000);
    ASSERT_TRUE(lag.has_value()) << typing.readAllStandardError().toStdString();
    std::cout << "largest lag of the disk behind the keys: " << lag->toStdString() << " ms\n";
    // At most the last 2 s of typing are missing on the disk at any moment.
    EXPECT_LE(lag->toInt(), 2000);
    EXPECT_GE(lag->toInt(), 100);  // the keys of a burst share a write: it does lag
    ASSERT_TRUE(WaitForLine(typing, QStringLiteral("ready"), 20000).has_value());
    ::kill(pid_t(typing.processId()), SIGKILL);
    ASSERT_TRUE(typing.waitForFinished());
    EXPECT_EQ(typing.exitStatus(), QProcess::CrashExit);

    QProcess showing;
    showing.setProcessEnvironment(ProbeEnvironment(home));
    showing.start(QStringLiteral(TESSORY_SESSION_PROBE), {QStringLiteral("show")});
    ASSERT_TRUE(showing.waitForFinished(60000));
    EXPECT_EQ(showing.exitCode(), 0) << showing.readAllStandardError().toStdString();
    QStringList windows;
    for (const QString &line : QString::fromUtf8(showing.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(QStringLiteral("window="))) {
            windows.append(line.mid(7));
        }
    }
    EXPECT_EQ(windows, (QStringList{QStringLiteral("無題1|SELECT 'first window' FROM a"),
                                    QStringLiteral("無題2|SELECT 'second window' FROM b")}))
        << windows.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
