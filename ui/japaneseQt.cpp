#include "ui/japaneseQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

// The environment variable that decides every locale category, above all others.
constexpr const char *kAllCategories = "LC_ALL";

}  // namespace

void JapaneseQt::UseJapaneseFormats() {
    // Qt reads the user's locale from the environment once, the first time it needs it, and
    // keeps it; it needs no locale of the C library for that. So Qt is shown a Japanese locale
    // for that one reading, and the environment is given back at once.
    std::optional<std::string> previous;
    if (const char *value = std::getenv(kAllCategories)) {
        previous = value;
    }
    setenv(kAllCategories, "ja_JP.UTF-8", 1);
    (void)QLocale::system();
    if (previous) {
        setenv(kAllCategories, previous->c_str(), 1);
    } else {
        unsetenv(kAllCategories);
    }
}

JapaneseQt::JapaneseQt(QCoreApplication &app) : app_(app) {
    // The Japanese translation is chosen by name, not by the user's locale.
    qtLoaded_ = qt_.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtLoaded_) {
        app_.installTranslator(&qt_);
    }
    app_.installTranslator(&missing_);  // asked first; it answers only for its own texts
}

JapaneseQt::~JapaneseQt() {
    app_.removeTranslator(&missing_);
    if (qtLoaded_) {
        app_.removeTranslator(&qt_);
    }
}

QString JapaneseQt::MissingTexts::translate(const char *context, const char *sourceText,
                                            const char *, int) const {
    struct Text {
        const char *context;
        const char *source;
        const char *japanese;
    };
    // The kinds of entries in the file dialog's list, and the size of a small file (Qt puts the
    // number in place of %n).
    static const Text kTexts[] = {
        {"QAbstractFileIconProvider", "Folder", "フォルダ"},
        {"QAbstractFileIconProvider", "Drive", "ドライブ"},
        {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
        {"QAbstractFileIconProvider", "File", "ファイル"},
        {"QAbstractFileIconProvider", "Unknown", "不明"},
        {"QLocale", "%n byte(s)", "%n バイト"},
    };
    if (!context || !sourceText) {
        return {};
    }
    for (const Text &text : kTexts) {
        if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0) {
            return QString::fromUtf8(text.japanese);
        }
    }
    return {};
}
