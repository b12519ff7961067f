#pragma once

#include <QString>

#include <optional>

// A selection in the editor's plain text (line breaks as CR LF), offsets counted from 0.
struct TextSelection {
    int start = 0;
    int length = 0;

    friend bool operator==(const TextSelection &, const TextSelection &) = default;
};

// Finds the first occurrence of `word` in `text` that begins at or after the 1-based position
// `start`, and returns it as the selection to make; nothing when there is none (the search
// never wraps round). With `ignoreCase` letters are compared without regard to case, each
// character with its counterpart, so offsets always match the text. An empty word is found at
// `start` itself while that lies within the text, as an empty selection.
std::optional<TextSelection> FindInEditor(const QString &text, int start, const QString &word,
                                          bool ignoreCase);

// The 1-based position where Search starts: the first character after the caret.
inline int SearchStart(int selStart) {
    return selStart + 1;
}
// The 1-based position where Find next starts: the first character after the selection.
inline int FindNextStart(int selStart, int selLength) {
    return selStart + selLength + 1;
}
