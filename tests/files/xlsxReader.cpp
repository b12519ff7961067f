#include "tests/files/xlsxReader.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include "tests/support/testEnvironment.h"

namespace {

// Debian's openpyxl belongs to the system interpreter, which a user's PATH may shadow.
QString SystemPython() {
    const QString system = QStringLiteral("/usr/bin/python3");
    return QFile::exists(system) ? system : QStringLiteral("python3");
}

}  // namespace

ReadBack ReadXlsx(const QString &path) {
    QProcess python;
    python.start(SystemPython(), {TestSourceFolder() + QStringLiteral("/files/readXlsx.py"), path});
    python.waitForFinished(120000);
    const QByteArray out = python.readAllStandardOutput();
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    ReadBack back;
    for (const QJsonValue &name : root.value("sheets").toArray()) {
        back.sheets.append(name.toString());
    }
    back.columns = root.value("columns").toArray();
    back.rows = root.value("rows").toArray();
    return back;
}
