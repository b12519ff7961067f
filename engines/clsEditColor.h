#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

#include "engines/keywordPainter.h"

struct Failure;

// Colours the query editor's rich text: every keyword of KEYWORD_COLOR.CSV is wrapped in its
// colour code, every comment in green, and the colour table is put after the opening brace.
// The keyword file is read anew at every call. Only the user's own text is ever rewritten:
// the header, control words, escapes and the codes the engine inserts are left alone.
class clsEditColor {
public:
    // An empty path means KEYWORD_COLOR.CSV beside the executable.
    explicit clsEditColor(QString keywordFile = QString());

    // How the engine reports a failure; without a handler (the default) it shows its error box.
    using FailureHandler = std::function<void(const Failure &)>;
    void setFailureHandler(FailureHandler handler) { failureHandler_ = std::move(handler); }

    // The keyword file the engine reads.
    const QString &KeywordFile() const { return keywordFile_; }

    short TabSpaceNum() const { return tabSpaceNum_; }
    void setTabSpaceNum(short vintNum) { tabSpaceNum_ = vintNum; }

    // The coloured rich text, or the empty string after the engine's error box when the
    // keyword file cannot be read or parsed or the text cannot be coloured.
    QString CColor(const QString &vstrText);

    // The colour-table group that every result carries right after its opening brace.
    static const QString &ColorTable();

private:
    QString PrepareRtf(const QString &text) const;
    bool LoadColorKeywords(QList<ColorKeyword> &list) const;
    bool ReadColorFile(QString &content) const;
    bool ParseColorFile(const QString &content, QList<ColorKeyword> &list) const;
    static QString RemoveColorCodes(QStringView text);
    bool ColorKeywords(const QString &text, const QList<ColorKeyword> &list, QString &result) const;
    void ShowColorError(const Failure &failure) const;

    QString keywordFile_;
    FailureHandler failureHandler_;
    short tabSpaceNum_ = 4;
};
