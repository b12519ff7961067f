#pragma once

#include <QTranslator>

class QCoreApplication;

// Qt's own texts and formats in Japanese, whatever the user's locale (C.UTF-8 and an unset LANG
// included, and without the ja_JP locale of the C library): the standard dialogs (file, font,
// message-box buttons) then speak Japanese like the rest of the program.
class JapaneseQt {
public:
    // Makes Qt's own idea of the user's locale Japanese, so that the file dialog shows dates in
    // the Japanese form. Call once before the application object exists; the environment, the
    // C library's locale and the programs started later keep the user's locale.
    static void UseJapaneseFormats();

    // Installs Qt's Japanese translation and the few texts it lacks; removed again on
    // destruction.
    explicit JapaneseQt(QCoreApplication &app);
    ~JapaneseQt();
    JapaneseQt(const JapaneseQt &) = delete;
    JapaneseQt &operator=(const JapaneseQt &) = delete;

    // Whether Qt's own translation was found and installed.
    bool QtTranslationLoaded() const { return qtLoaded_; }

private:
    // Texts of Qt's file dialog that Qt's Japanese translation leaves in English.
    class MissingTexts final : public QTranslator {
    public:
        QString translate(const char *context, const char *sourceText, const char *disambiguation,
                          int n) const override;
        bool isEmpty() const override { return false; }
    };

    QCoreApplication &app_;
    QTranslator qt_;
    MissingTexts missing_;
    bool qtLoaded_ = false;
};
