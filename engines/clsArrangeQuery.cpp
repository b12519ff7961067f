#include "engines/clsArrangeQuery.h"

#include "core/clsMsg.h"
#include "core/failure.h"
#include "engines/keywordFile.h"
#include "engines/keywordPlacer.h"

clsArrangeQuery::clsArrangeQuery(QString keywordFile)
    : keywordFile_(keywordFile.isEmpty()
                       ? KeywordFileBesideProgram(QStringLiteral("KEYWORD_ARRANGE.CSV"))
                       : std::move(keywordFile)) {}

// The keyword file is read and checked before the text is looked at, so a bad file is
// reported even for an empty query.
QString clsArrangeQuery::CArrange(const QString &text) {
    QList<ArrangeKeyword> list;
    if (!LoadArrangeKeywords(list)) {
        return QString();
    }
    QString result;
    if (!ArrangeText(text, list, result)) {
        return QString();
    }
    return result;
}

bool clsArrangeQuery::LoadArrangeKeywords(QList<ArrangeKeyword> &list) const {
    QString content;
    return ReadArrangeFile(content) && ParseArrangeFile(content, list);
}

bool clsArrangeQuery::ReadArrangeFile(QString &content) const {
    return RunEngineStep([&] { content = ReadKeywordFile(keywordFile_); }, ShowArrangeError);
}

// Every line is trimmed of spaces. No partial list is used.
bool clsArrangeQuery::ParseArrangeFile(const QString &content, QList<ArrangeKeyword> &list) const {
    return RunEngineStep(
        [&] {
            QList<ArrangeKeyword> entries;
            ForEachKeywordEntry(content, 3, KeywordLineSpaces::Trimmed,
                                [&](const QStringList &fields) {
                                    entries.append({fields.at(0), KeywordFileNumber(fields.at(1)),
                                                    KeywordFileNumber(fields.at(2))});
                                });
            list = std::move(entries);
        },
        ShowArrangeError);
}

// Entries are applied in list order, each to the whole text as the entries before it left it.
bool clsArrangeQuery::ArrangeText(const QString &text, const QList<ArrangeKeyword> &list,
                                  QString &result) const {
    return RunEngineStep(
        [&] {
            CasedText working = MakeCasedText(ToInnerBreaks(text));
            if (list.isEmpty()) {
                throw MakeFailure(FailureNumber::SubscriptRange);
            }
            for (const ArrangeKeyword &entry : list) {
                working = PlaceKeywords(working, entry);
            }
            result = ToOuterBreaks(working.text);
        },
        ShowArrangeError);
}

// While the text is arranged every line break is a single CR, and a TAB is four spaces
// wherever it stands.
QString clsArrangeQuery::ToInnerBreaks(const QString &text) {
    QString inner = text;
    inner.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    inner.replace(QLatin1Char('\t'), QLatin1String("    "));
    return inner;
}

QString clsArrangeQuery::ToOuterBreaks(const QString &text) {
    QString outer = text;
    outer.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    return outer;
}

void clsArrangeQuery::ShowArrangeError(const Failure &failure) {
    ShowKeywordEngineError(failure);
}
