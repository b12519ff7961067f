#pragma once

#include <QString>

#include <utility>

// A failure of the program: a number and a description. Procedures throw it; the handler at
// a command's edge decides whether it is reported, ignored, or passed on.
struct Failure {
    int number = 0;
    QString description;
};

// Failure numbers that the program tests or shows.
namespace FailureNumber {
inline constexpr int Overflow = 6;           // a 16-bit counter passed 32,767
inline constexpr int OutOfMemory = 7;        // an input too large to hold
inline constexpr int InvalidArgument = 5;    // a value out of its allowed range
inline constexpr int SubscriptRange = 9;     // a list without the expected entry
inline constexpr int TypeMismatch = 13;      // text where a whole number is expected
inline constexpr int FileNotFound = 53;      // a keyword file that does not exist
inline constexpr int PermissionDenied = 70;  // a file that cannot be opened
inline constexpr int PathNotFound = 76;      // a folder that does not exist
inline constexpr int ObjectOpen = 3705;      // a recordset that is still open
inline constexpr int General = 1000;         // any other failure of the program itself
}  // namespace FailureNumber

// Our own Japanese wording for the numbers above.
QString FailureDescription(int number);

// Builds a failure with our own description for its number.
Failure MakeFailure(int number);

// Report and recover: runs the body; a failure is shown with ShowError and the result is false.
template <typename Body>
bool ReportFailure(Body &&body);

// Ignore and continue: runs one step; its failure is dropped so that the next step runs.
template <typename Step>
void IgnoreFailure(Step &&step) {
    try {
        std::forward<Step>(step)();
    } catch (const Failure &) {
    }
}

// No handler: nothing to wrap; a failure simply passes to the caller.

void ShowFailure(const Failure &failure);  // defined with clsMsg

template <typename Body>
bool ReportFailure(Body &&body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const Failure &failure) {
        ShowFailure(failure);
        return false;
    }
}
