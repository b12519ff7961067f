#pragma once

#include <QList>
#include <QString>

struct Failure;

// One entry of the formatter's keyword file.
struct ArrangeKeyword {
    QString Keyword;     // matched without regard to letter case
    short Level = 0;     // the keyword's line is indented by Level - 1, the text after it by Level
    short WordFlag = 0;  // 1: a word, matched between separators and put on a line of its own
};

// Lays a query out on several lines by the keywords of KEYWORD_ARRANGE.CSV: a line break after
// every keyword, also before a word keyword, and four spaces of indentation a level. The
// keyword file is read anew at every call; the letter case of the text is never changed.
class clsArrangeQuery {
public:
    // An empty path means KEYWORD_ARRANGE.CSV beside the executable.
    explicit clsArrangeQuery(QString keywordFile = QString());

    // The arranged text with CR LF line breaks, or the empty string after the engine's error
    // box when the keyword file cannot be read or parsed or the text cannot be arranged.
    QString CArrange(const QString &text);

private:
    bool LoadArrangeKeywords(QList<ArrangeKeyword> &list) const;
    bool ReadArrangeFile(QString &content) const;
    bool ParseArrangeFile(const QString &content, QList<ArrangeKeyword> &list) const;
    bool ArrangeText(const QString &text, const QList<ArrangeKeyword> &list, QString &result) const;
    static QString ToInnerBreaks(const QString &text);
    static QString ToOuterBreaks(const QString &text);
    static void ShowArrangeError(const Failure &failure);

    QString keywordFile_;
};
