#include <gtest/gtest.h>

#include "ui/runProgress.h"

namespace {

using State = RunProgress::State;

struct ProgressCase {
    const char *name;
    RunProgress progress;
    const char *text;
};

class RunProgressTextTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(RunProgressTextTest, SaysRowsAndTime) {
    EXPECT_EQ(RunProgressText(GetParam().progress), QString::fromUtf8(GetParam().text));
}

const ProgressCase kCases[] = {
    {"ExecutingBeforeAnyResult", {State::Running, false, 0, -1, 400}, "0.4 秒"},
    {"RowsArriving", {State::Running, true, 12345, -1, 1234}, "12,345 行 · 1.2 秒"},
    {"ResultWithoutRows", {State::Done, true, 0, -1, 60}, "0 行 · 0.1 秒"},
    {"Millions", {State::Done, true, 1000000, -1, 61049}, "1,000,000 行 · 61.0 秒"},
    {"StatementChangedRows", {State::Done, false, 0, 3, 120}, "3 行を処理しました · 0.1 秒"},
    {"StatementWithoutCount", {State::Done, false, 0, -1, 0}, "0.0 秒"},
    {"CancelledKeepsRowsRead",
     {State::Cancelled, true, 500, -1, 2500},
     "取り消しました · 500 行 · 2.5 秒"},
    {"CancelledWhileExecuting", {State::Cancelled, false, 0, -1, 900}, "取り消しました · 0.9 秒"},
    {"Failed", {State::Failed, false, 0, -1, 30000}, "エラー · 30.0 秒"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RunProgressTextTest, testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
