#include "engines/clsEditColor.h"

#include "core/clsMsg.h"
#include "core/failure.h"
#include "engines/colorKeywordCache.h"
#include "engines/keywordFile.h"
#include "engines/keywordPainter.h"
#include "engines/rtfScanner.h"

clsEditColor::clsEditColor(QString keywordFile)
    : keywordFile_(keywordFile.isEmpty()
                       ? KeywordFileBesideProgram(QStringLiteral("KEYWORD_COLOR.CSV"))
                       : std::move(keywordFile)) {}

const QString &clsEditColor::ColorTable() {
    static const QString table = QStringLiteral(
        "{\\colortbl ;\\red0\\green0\\blue255;\\red100\\green100\\blue100;"
        "\\red255\\green0\\blue255;\\red0\\green150\\blue0;}");
    return table;
}

QString clsEditColor::CColor(const QString &vstrText) {
    QString text = PrepareRtf(vstrText);
    QList<ColorKeyword> list;
    if (!LoadColorKeywords(list)) {
        return QString();
    }
    text = RemoveColorCodes(text);
    QString result;
    if (!ColorKeywords(text, list, false, result, nullptr)) {
        return QString();
    }
    return result;
}

std::optional<ColoredLines> clsEditColor::CColorLines(const QString &lines, bool startsInComment) {
    QString text = PrepareRtf(PlainToRtf(lines));
    QList<ColorKeyword> list;
    if (!LoadColorKeywords(list)) {
        return std::nullopt;
    }
    text = RemoveColorCodes(text);
    QString result;
    ColoredLines colored;
    if (!ColorKeywords(text, list, startsInComment, result, &colored.endsInComment)) {
        return std::nullopt;
    }
    colored.document = ParseRtf(result);
    return colored;
}

// Line breaks carry no meaning in rich text; tabs become spaces, so the editor holds spaces
// where the user typed tabs once the text has been coloured.
QString clsEditColor::PrepareRtf(const QString &text) const {
    QString joined;
    joined.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            joined.append(c);
        }
    }
    return ExpandRtfTabs(joined, tabSpaceNum_);
}

bool clsEditColor::LoadColorKeywords(QList<ColorKeyword> &list) const {
    return RunEngineStep(
        [&] {
            list = cache_ ? cache_->Keywords(keywordFile_, &ReadColorKeywords)
                          : ReadColorKeywords(keywordFile_);
        },
        [this](const Failure &failure) { ShowColorError(failure); });
}

// Lines are not trimmed. No partial list is used.
QList<ColorKeyword> clsEditColor::ReadColorKeywords(const QString &path) {
    const QString content = ReadKeywordFile(path);
    QList<ColorKeyword> entries;
    ForEachKeywordEntry(content, 2, KeywordLineSpaces::Kept, [&](const QStringList &fields) {
        entries.append({fields.at(0), KeywordFileNumber(fields.at(1))});
    });
    return entries;
}

QString clsEditColor::RemoveColorCodes(QStringView text) {
    return RemoveRtfColorCodes(text);
}

// The colour table goes right after the document's opening brace, ahead of everything else.
bool clsEditColor::ColorKeywords(const QString &text, const QList<ColorKeyword> &list,
                                 bool startsInComment, QString &result,
                                 std::vector<bool> *endsInComment) const {
    return RunEngineStep(
        [&] {
            if (text.isEmpty() || text.front() != QLatin1Char('{')) {
                throw MakeFailure(FailureNumber::InvalidArgument);
            }
            if (list.isEmpty()) {
                throw MakeFailure(FailureNumber::SubscriptRange);
            }
            QString working;
            working.reserve(text.size() + ColorTable().size());
            working.append(QLatin1Char('{'))
                .append(ColorTable())
                .append(QStringView(text).sliced(1));
            KeywordPainter painter(std::move(working));
            painter.ColorKeywords(list);
            painter.ColorComments(startsInComment);
            result = painter.Result();
            if (endsInComment) {
                *endsInComment = painter.ParagraphEndsInComment();
            }
        },
        [this](const Failure &failure) { ShowColorError(failure); });
}

void clsEditColor::ShowColorError(const Failure &failure) const {
    if (failureHandler_) {
        failureHandler_(failure);
        return;
    }
    ShowKeywordEngineError(failure);
}
