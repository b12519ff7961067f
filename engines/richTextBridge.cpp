#include "engines/richTextBridge.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "engines/rtfScanner.h"

namespace {

// Destinations whose content is not document text.
constexpr std::array<QLatin1StringView, 18> kSkippedDestinations = {
    QLatin1StringView("fonttbl"),
    QLatin1StringView("stylesheet"),
    QLatin1StringView("info"),
    QLatin1StringView("pict"),
    QLatin1StringView("object"),
    QLatin1StringView("header"),
    QLatin1StringView("footer"),
    QLatin1StringView("headerl"),
    QLatin1StringView("headerr"),
    QLatin1StringView("footerl"),
    QLatin1StringView("footerr"),
    QLatin1StringView("listtable"),
    QLatin1StringView("listoverridetable"),
    QLatin1StringView("revtbl"),
    QLatin1StringView("rsidtbl"),
    QLatin1StringView("generator"),
    QLatin1StringView("filetbl"),
    QLatin1StringView("footnote")};

enum class Destination { Text, ColorTable, Skipped };

struct GroupState {
    Destination destination = Destination::Text;
    int color = 0;
    int unicodeSkip = 1;
};

struct IndexedRun {
    qsizetype start;
    qsizetype length;
    int color;
};

int HexValue(QChar c) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        return c.unicode() - u'0';
    }
    const char16_t lower = c.toLower().unicode();
    if (lower >= u'a' && lower <= u'f') {
        return lower - u'a' + 10;
    }
    return -1;
}

// Interprets the pieces that the scanner reads from the document.
class RtfParser {
public:
    explicit RtfParser(QStringView rtf) : rtf_(rtf), scanner_(rtf) {
        doc_.text.reserve(rtf.size());
    }

    RtfDocument Run() {
        RtfToken token;
        while (scanner_.next(token)) {
            Step(token);
        }
        ResolveRuns();
        return std::move(doc_);
    }

private:
    GroupState &State() { return groups_.back(); }

    void Step(const RtfToken &token) {
        QStringView piece = rtf_.sliced(token.start, token.length);
        if (fallbackToSkip_ > 0) {
            piece = SkipFallback(token, piece);
        }
        switch (token.kind) {
            case RtfToken::Kind::GroupOpen:
                groups_.push_back(groups_.back());
                break;
            case RtfToken::Kind::GroupClose:
                if (groups_.size() > 1) {
                    groups_.pop_back();
                }
                break;
            case RtfToken::Kind::ControlWord:
                ControlWord(ControlWordName(rtf_, token), ControlWordParameter(rtf_, token));
                break;
            case RtfToken::Kind::ControlSymbol:
                ControlSymbol(token, piece);
                break;
            case RtfToken::Kind::Text:
                TextPiece(piece);
                break;
        }
    }

    // Skips the characters that stand in for a \u character in readers without Unicode: plain
    // characters and \'hh escapes count one each; any other piece ends the fallback. Returns
    // what is left of the piece to read.
    QStringView SkipFallback(const RtfToken &token, QStringView piece) {
        if (token.kind == RtfToken::Kind::Text) {
            const qsizetype skipped = std::min<qsizetype>(fallbackToSkip_, piece.size());
            fallbackToSkip_ -= static_cast<int>(skipped);
            return piece.sliced(skipped);
        }
        if (token.kind == RtfToken::Kind::ControlSymbol && piece.size() > 1 &&
            piece.at(1) == QLatin1Char('\'')) {
            --fallbackToSkip_;
            return QStringView();
        }
        fallbackToSkip_ = 0;
        return piece;
    }

    void ControlSymbol(const RtfToken &token, QStringView piece) {
        if (piece.size() < 2) {
            return;  // a backslash at the very end, or an escape skipped as fallback
        }
        const QChar c = piece.at(1);
        switch (c.unicode()) {
            case '\\':
            case '{':
            case '}':
                Text(c);
                break;
            case '~':
                Text(QChar(0x00A0));
                break;
            case '_':
                Text(QChar(0x2011));
                break;
            case '*':
                State().destination = Destination::Skipped;
                break;
            case '\r':
            case '\n':
                ParagraphEnd();
                break;
            case '\'':
                HexEscape(token, piece);
                break;
            default:
                break;  // optional hyphen and unknown symbols show nothing
        }
    }

    // An escape cut short by the end of the text shows nothing; one whose two characters are
    // not hexadecimal is no escape after all, and those characters are read again as they come.
    void HexEscape(const RtfToken &token, QStringView piece) {
        if (piece.size() < 4) {
            return;
        }
        const int high = HexValue(piece.at(2));
        const int low = HexValue(piece.at(3));
        if (high < 0 || low < 0) {
            scanner_.resumeAt(token.start + 2);
            return;
        }
        Text(QChar(high * 16 + low));
    }

    void ControlWord(QStringView word, std::optional<qint64> parameter) {
        GroupState &state = State();
        if (word == QLatin1StringView("colortbl")) {
            state.destination = Destination::ColorTable;
            colorEntry_ = RtfColor{};
            return;
        }
        if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
            kSkippedDestinations.end()) {
            state.destination = Destination::Skipped;
            return;
        }
        if (state.destination == Destination::ColorTable) {
            ColorComponent(word, parameter.value_or(0));
            return;
        }
        if (state.destination == Destination::Skipped) {
            return;
        }
        if (word == QLatin1StringView("par") || word == QLatin1StringView("line")) {
            ParagraphEnd();
        } else if (word == QLatin1StringView("tab")) {
            Text(QLatin1Char('\t'));
        } else if (word == QLatin1StringView("cf")) {
            state.color = static_cast<int>(std::clamp<qint64>(parameter.value_or(0), 0, 65535));
        } else if (word == QLatin1StringView("plain")) {
            state.color = 0;
        } else if (word == QLatin1StringView("uc")) {
            state.unicodeSkip = static_cast<int>(std::clamp<qint64>(parameter.value_or(1), 0, 8));
        } else if (word == QLatin1StringView("u") && parameter) {
            const qint64 code = *parameter < 0 ? *parameter + 65536 : *parameter;
            if (code >= 0 && code <= 0xFFFF) {
                Text(QChar(static_cast<char16_t>(code)));
            }
            fallbackToSkip_ = state.unicodeSkip;
        }
    }

    void ColorComponent(QStringView word, qint64 value) {
        const int component = static_cast<int>(std::clamp<qint64>(value, 0, 255));
        if (word == QLatin1StringView("red")) {
            colorEntry_.red = component;
        } else if (word == QLatin1StringView("green")) {
            colorEntry_.green = component;
        } else if (word == QLatin1StringView("blue")) {
            colorEntry_.blue = component;
        } else {
            return;
        }
        colorEntry_.isDefault = false;
    }

    void ParagraphEnd() {
        if (State().destination != Destination::Text || groups_.size() < 2) {
            return;
        }
        // A paragraph mark ends its line; only a following character makes it a line break,
        // so the mark that ends the last line adds nothing.
        FlushBreak();
        breakPending_ = true;
    }

    void FlushBreak() {
        if (breakPending_) {
            doc_.text.append(QLatin1StringView("\r\n"));
            breakPending_ = false;
        }
    }

    // Literal text of the RTF source; its line breaks carry no meaning.
    void TextPiece(QStringView piece) {
        qsizetype from = 0;
        for (qsizetype i = 0; i < piece.size(); ++i) {
            if (piece.at(i) == QLatin1Char('\r') || piece.at(i) == QLatin1Char('\n')) {
                Text(piece.sliced(from, i - from));
                from = i + 1;
            }
        }
        Text(piece.sliced(from));
    }

    void Text(QChar c) { Text(QStringView(&c, 1)); }

    void Text(QStringView chars) {
        GroupState &state = State();
        if (state.destination == Destination::ColorTable) {
            for (const QChar c : chars) {
                if (c == QLatin1Char(';')) {
                    doc_.colors.append(colorEntry_);
                    colorEntry_ = RtfColor{};
                }
            }
            return;
        }
        // Text outside the document group (such as a space after its closing brace) is no
        // part of the document.
        if (chars.isEmpty() || state.destination == Destination::Skipped || groups_.size() < 2) {
            return;
        }
        FlushBreak();
        const qsizetype at = doc_.text.size();
        doc_.text.append(chars);
        if (state.color == 0) {
            return;
        }
        if (!runs_.empty() && runs_.back().color == state.color &&
            runs_.back().start + runs_.back().length == at) {
            runs_.back().length += chars.size();
        } else {
            runs_.push_back({at, chars.size(), state.color});
        }
    }

    // Turns colour indexes into colours once the whole table is known, and merges neighbours.
    void ResolveRuns() {
        for (const IndexedRun &run : runs_) {
            if (run.color >= doc_.colors.size() || doc_.colors[run.color].isDefault) {
                continue;
            }
            const RtfColor color = doc_.colors[run.color];
            if (!doc_.runs.isEmpty() && doc_.runs.back().color == color &&
                doc_.runs.back().start + doc_.runs.back().length == run.start) {
                doc_.runs.back().length += run.length;
            } else {
                doc_.runs.append({run.start, run.length, color});
            }
        }
    }

    QStringView rtf_;
    RtfScanner scanner_;
    std::vector<GroupState> groups_{GroupState{}};
    std::vector<IndexedRun> runs_;
    RtfColor colorEntry_;
    bool breakPending_ = false;
    int fallbackToSkip_ = 0;  // characters still to skip after a \u character
    RtfDocument doc_;
};

}  // namespace

QString PlainToRtf(const QString &text) {
    QString rtf;
    rtf.reserve(text.size() + text.size() / 8 + 64);
    rtf.append(QLatin1StringView(kRtfHeader));
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
            case '\r':
                if (i + 1 < length && text[i + 1] == QLatin1Char('\n')) {
                    ++i;
                }
                rtf.append(QLatin1StringView("\\par "));
                break;
            case '\n':
                rtf.append(QLatin1StringView("\\par "));
                break;
            case '\t':
                rtf.append(QLatin1StringView("\\tab "));
                break;
            case '\\':
            case '{':
            case '}':
                rtf.append(QLatin1Char('\\'));
                rtf.append(c);
                break;
            default:
                rtf.append(c);
                break;
        }
    }
    rtf.append(QLatin1StringView("\\par }"));
    return rtf;
}

RtfDocument ParseRtf(const QString &rtf) {
    return RtfParser(rtf).Run();
}
