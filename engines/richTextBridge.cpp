#include "engines/richTextBridge.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

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

// Parameters are clamped to this magnitude so that long digit strings cannot overflow.
constexpr qint64 kMaxParameter = 1'000'000'000;

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

bool IsAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int HexValue(QChar c) {
    if (IsAsciiDigit(c)) {
        return c.unicode() - '0';
    }
    const char16_t lower = c.toLower().unicode();
    if (lower >= 'a' && lower <= 'f') {
        return lower - 'a' + 10;
    }
    return -1;
}

class RtfParser {
public:
    explicit RtfParser(QStringView rtf) : rtf_(rtf) { doc_.text.reserve(rtf.size()); }

    RtfDocument Run() {
        while (pos_ < rtf_.size()) {
            Step();
        }
        ResolveRuns();
        return std::move(doc_);
    }

private:
    GroupState &State() { return groups_.back(); }

    void Step() {
        const QChar c = rtf_[pos_];
        if (c == QLatin1Char('{')) {
            ++pos_;
            groups_.push_back(groups_.back());
            return;
        }
        if (c == QLatin1Char('}')) {
            ++pos_;
            if (groups_.size() > 1) {
                groups_.pop_back();
            }
            return;
        }
        if (c == QLatin1Char('\\')) {
            ReadControl();
            return;
        }
        ++pos_;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return;  // line breaks of the RTF source carry no meaning
        }
        Text(c);
    }

    // Reads what follows a backslash: a control word with its parameter, or a control symbol.
    void ReadControl() {
        ++pos_;  // the backslash
        if (pos_ >= rtf_.size()) {
            return;
        }
        const QChar c = rtf_[pos_];
        if (!IsAsciiLetter(c)) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        const qsizetype wordStart = pos_;
        while (pos_ < rtf_.size() && IsAsciiLetter(rtf_[pos_])) {
            ++pos_;
        }
        const QStringView word = rtf_.sliced(wordStart, pos_ - wordStart);
        bool hasParameter = false;
        qint64 parameter = 0;
        bool negative = false;
        if (pos_ + 1 < rtf_.size() && rtf_[pos_] == QLatin1Char('-') &&
            IsAsciiDigit(rtf_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < rtf_.size() && IsAsciiDigit(rtf_[pos_])) {
            hasParameter = true;
            parameter = std::min(kMaxParameter, parameter * 10 + (rtf_[pos_].unicode() - '0'));
            ++pos_;
        }
        if (negative) {
            parameter = -parameter;
        }
        if (pos_ < rtf_.size() && rtf_[pos_] == QLatin1Char(' ')) {
            ++pos_;  // the space that ends a control word belongs to it
        }
        ControlWord(word, hasParameter ? std::optional<qint64>(parameter) : std::nullopt);
    }

    void ControlSymbol(QChar c) {
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
                HexEscape();
                break;
            default:
                break;  // optional hyphen and unknown symbols show nothing
        }
    }

    void HexEscape() {
        if (pos_ + 1 >= rtf_.size()) {
            pos_ = rtf_.size();
            return;
        }
        const int high = HexValue(rtf_[pos_]);
        const int low = HexValue(rtf_[pos_ + 1]);
        if (high < 0 || low < 0) {
            return;  // not an escape after all; the characters are read as text
        }
        pos_ += 2;
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
            SkipFallback(state.unicodeSkip);
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

    // Skips the characters that stand in for a \u character in readers without Unicode.
    void SkipFallback(int count) {
        while (count > 0 && pos_ < rtf_.size()) {
            const QChar c = rtf_[pos_];
            if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
                return;
            }
            if (c == QLatin1Char('\\')) {
                if (pos_ + 1 < rtf_.size() && rtf_[pos_ + 1] == QLatin1Char('\'')) {
                    pos_ = std::min(rtf_.size(), pos_ + 4);
                    --count;
                    continue;
                }
                return;
            }
            ++pos_;
            --count;
        }
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

    void Text(QChar c) {
        GroupState &state = State();
        if (state.destination == Destination::ColorTable) {
            if (c == QLatin1Char(';')) {
                doc_.colors.append(colorEntry_);
                colorEntry_ = RtfColor{};
            }
            return;
        }
        // Text outside the document group (such as a space after its closing brace) is no
        // part of the document.
        if (state.destination == Destination::Skipped || groups_.size() < 2) {
            return;
        }
        FlushBreak();
        const qsizetype at = doc_.text.size();
        doc_.text.append(c);
        if (state.color == 0) {
            return;
        }
        if (!runs_.empty() && runs_.back().color == state.color &&
            runs_.back().start + runs_.back().length == at) {
            ++runs_.back().length;
        } else {
            runs_.push_back({at, 1, state.color});
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
    qsizetype pos_ = 0;
    std::vector<GroupState> groups_{GroupState{}};
    std::vector<IndexedRun> runs_;
    RtfColor colorEntry_;
    bool breakPending_ = false;
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
