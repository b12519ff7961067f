#pragma once

#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "core/clsMsg.h"

// Helpers shared by the fuzz targets.

// The input as text: UTF-8, where bytes that are not valid UTF-8 become U+FFFD.
QString FuzzText(const uint8_t *data, size_t size);

// The input as UTF-16 code units (an odd last byte is dropped), so that lone surrogates and
// every other code unit reach the code as they are.
QString FuzzUtf16(const uint8_t *data, size_t size);

// The path of one of the program's default keyword files (resources/).
QString DefaultKeywordFile(const char *fileName);

// The text with every line break (CR LF, a lone CR, a lone LF) as CR LF, written here again
// without the program's own helpers so that the targets compare against something independent.
QString WithCrLfBreaks(const QString &text);

// The text with line breaks, tabs and other control characters written as escapes, to show
// in a failure message.
QString Escaped(const QString &text);

// Fails the input: prints what was expected and aborts, which libFuzzer reports as a crash and
// keeps the input as a reproducer.
[[noreturn]] void FuzzFailed(const char *condition, const char *file, int line,
                             const QString &detail);

#define FUZZ_CHECK(condition, detail)                             \
    do {                                                          \
        if (!(condition)) {                                       \
            FuzzFailed(#condition, __FILE__, __LINE__, (detail)); \
        }                                                         \
    } while (false)

// Collects the message boxes the code shows while the target runs, instead of showing them.
class BoxRecorder final : public MessagePresenter {
public:
    BoxRecorder();
    ~BoxRecorder() override;
    BoxRecorder(const BoxRecorder &) = delete;
    BoxRecorder &operator=(const BoxRecorder &) = delete;

    int show(const QString &text, const QString &title, int style) override;
    const QList<QString> &texts() const { return texts_; }
    void clear() { texts_.clear(); }

private:
    MessagePresenter *previous_;
    QList<QString> texts_;
};
