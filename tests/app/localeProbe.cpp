// Starts like the program (process, application, Japanese Qt, name and icon) and prints, one
// "key=value" a line, the texts and formats that depend on the locale, for localeTest.cpp.
#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QLocale>
#include <QPushButton>
#include <QTextStream>

#include <langinfo.h>

#include "app/basMain.h"
#include "ui/japaneseQt.h"

int main(int argc, char *argv[]) {
    PrepareProcess();
    QApplication app(argc, argv);
    const JapaneseQt japanese(app);
    PrepareApplication();

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    const auto print = [&out](const char *key, const QString &value) {
        out << key << '=' << value << '\n';
    };
    print("codeset", QString::fromLatin1(nl_langinfo(CODESET)));
    print("qt-translation", japanese.QtTranslationLoaded() ? QStringLiteral("yes") : QString());
    print("date", QLocale::system().toString(QDateTime(QDate(2024, 3, 5), QTime(7, 8)),
                                             QLocale::ShortFormat));
    print("small-size", QLocale::system().formattedDataSize(12));
    print("folder", QFileIconProvider().type(QFileInfo(QDir::tempPath())));
    QFileSystemModel files;
    print("modified-header", files.headerData(3, Qt::Horizontal).toString());
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Yes | QDialogButtonBox::No);
    print("cancel", buttons.button(QDialogButtonBox::Cancel)->text());
    print("no", buttons.button(QDialogButtonBox::No)->text());
    QFont bold;
    bold.setBold(true);
    print("bold", QFontDatabase::styleString(bold));
    print("icon", QApplication::windowIcon().isNull() ? QString() : QStringLiteral("yes"));
    return 0;
}
