#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

#include "engines/keywordPainter.h"
#include "engines/richTextBridge.h"

class ColorKeywordCache;
struct Failure;

// Lines of the editor's text as the colouring leaves them.
struct ColoredLines {
    RtfDocument document;             // the text (tabs made spaces) and its colour runs
    std::vector<bool> endsInComment;  // per line: whether its end lies inside a block comment
};

// Colours the query editor's rich text: every keyword of KEYWORD_COLOR.CSV is wrapped in its
// colour code, every comment in green, and the colour table is put after the opening brace.
// The keyword file is read anew at every call (with a keyword cache: looked at, and read again
// only once it changed). Only the user's own text is ever rewritten:
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

    // Keeps the parsed keyword file between calls: it is then read again only when it changed.
    void setKeywordCache(ColorKeywordCache *cache) { cache_ = cache; }

    short TabSpaceNum() const { return tabSpaceNum_; }
    void setTabSpaceNum(short vintNum) { tabSpaceNum_ = vintNum; }

    // The coloured rich text, or the empty string after the engine's error box when the
    // keyword file cannot be read or parsed or the text cannot be coloured.
    QString CColor(const QString &vstrText);

    // Colours whole lines of the editor's plain text (CR LF between lines) that follow a line
    // ending inside a block comment (startsInComment) or not. The colours of each line are those
    // that CColor gives it within the whole text, so a text can be coloured a stretch of lines at
    // a time. Nothing after the engine's error box.
    std::optional<ColoredLines> CColorLines(const QString &lines, bool startsInComment);

    // The colour-table group that every result carries right after its opening brace.
    static const QString &ColorTable();

private:
    QString PrepareRtf(const QString &text) const;
    bool LoadColorKeywords(QList<ColorKeyword> &list) const;
    static QList<ColorKeyword> ReadColorKeywords(const QString &path);
    static QString RemoveColorCodes(QStringView text);
    bool ColorKeywords(const QString &text, const QList<ColorKeyword> &list, bool startsInComment,
                       QString &result, std::vector<bool> *endsInComment) const;
    void ShowColorError(const Failure &failure) const;

    QString keywordFile_;
    FailureHandler failureHandler_;
    ColorKeywordCache *cache_ = nullptr;
    short tabSpaceNum_ = 4;
};
