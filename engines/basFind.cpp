#include "engines/basFind.h"

std::optional<TextSelection> FindInEditor(const QString &text, int start, const QString &word,
                                          bool ignoreCase) {
    if (start < 1 || start > text.size()) {
        return std::nullopt;
    }
    const qsizetype found =
        text.indexOf(word, start - 1, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
    if (found < 0) {
        return std::nullopt;
    }
    return TextSelection{static_cast<int>(found), static_cast<int>(word.size())};
}
