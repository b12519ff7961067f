// The standard dialogs' texts and formats are Japanese whatever the user's locale: the program's
// start-up runs in a child process under each environment and reports what Qt would show.
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct LocaleRow {
    const char *name;
    const char *lang;  // nullptr: unset
    const char *lcAll;
};

void PrintTo(const LocaleRow &row, std::ostream *out) {
    *out << row.name;
}

QMap<QString, QString> RunProbe(const LocaleRow &row, QString *errors) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name :
         {"LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LC_TIME", "LC_NUMERIC"}) {
        environment.remove(QString::fromLatin1(name));
    }
    if (row.lang) {
        environment.insert(QStringLiteral("LANG"), QString::fromLatin1(row.lang));
    }
    if (row.lcAll) {
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(row.lcAll));
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(TESSORY_LOCALE_PROBE), {});
    EXPECT_TRUE(probe.waitForFinished(-1));
    EXPECT_EQ(probe.exitCode(), 0);
    *errors = QString::fromUtf8(probe.readAllStandardError());
    QMap<QString, QString> values;
    for (const QString &line : QString::fromUtf8(probe.readAllStandardOutput()).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) {
            values.insert(line.left(equals), line.mid(equals + 1));
        }
    }
    return values;
}

class LocaleTest : public testing::TestWithParam<LocaleRow> {};

TEST_P(LocaleTest, StandardTextsAndFormatsAreJapanese) {
    QString errors;
    const QMap<QString, QString> shown = RunProbe(GetParam(), &errors);
    const auto value = [&shown](const char *key) {
        return shown.value(QString::fromLatin1(key)).toStdString();
    };
    EXPECT_EQ(value("codeset"), "UTF-8");
    EXPECT_EQ(value("qt-translation"), "yes");
    EXPECT_EQ(value("date"), "2024/03/05 7:08");
    EXPECT_EQ(value("small-size"), "12 バイト");
    EXPECT_EQ(value("folder"), "フォルダ");
    EXPECT_EQ(value("modified-header"), "更新日");
    EXPECT_EQ(value("cancel"), "キャンセル");
    EXPECT_EQ(value("no"), "いいえ(&N)");
    EXPECT_EQ(value("bold"), "太字");
    EXPECT_EQ(value("icon"), "yes");
    // Qt says when it had to change the locale on its own.
    EXPECT_FALSE(errors.contains(QStringLiteral("locale"), Qt::CaseInsensitive))
        << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Environments, LocaleTest,
                         testing::Values(LocaleRow{"C_UTF8", "C.UTF-8", nullptr},
                                         LocaleRow{"unset", nullptr, nullptr},
                                         LocaleRow{"POSIX", "POSIX", nullptr},
                                         LocaleRow{"LC_ALL_C_UTF8", "en_US.UTF-8", "C.UTF-8"},
                                         LocaleRow{"English", "en_US.UTF-8", nullptr},
                                         LocaleRow{"Japanese", "ja_JP.UTF-8", nullptr}),
                         [](const testing::TestParamInfo<LocaleRow> &info) {
                             return std::string(info.param.name);
                         });

}  // namespace
