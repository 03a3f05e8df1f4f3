// How a run went: each failed step once, with its first reason, every reason in the log, and
// the closing message naming them all.

#include "forms/outcome.h"

#include <gtest/gtest.h>

namespace {

class RecordingLog : public platform::Log {
  public:
    void write(const std::string& event) noexcept override { events.push_back(event); }
    std::vector<std::string> events;
    void copyTo(const std::string&) noexcept override {}
};

TEST(Outcome, EachStepIsKeptOnceWithItsFirstReasonAndEveryReasonIsLogged) {
    using Failures = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        const char* what;
        Failures told;
        std::vector<forms::FailedStep> kept;
    };
    const Case cases[] = {
        {"nothing failed", {}, {}},
        {"one step", {{"新增連接埠 IP_1", "錯誤 5"}}, {{"新增連接埠 IP_1", "錯誤 5"}}},
        {"the same step twice",
         {{"安裝印表機「A」", "first"}, {"安裝印表機「A」", "second"}},
         {{"安裝印表機「A」", "first"}}},
        {"two steps, one again between",
         {{"a", "1"}, {"b", "2"}, {"a", "3"}},
         {{"a", "1"}, {"b", "2"}}},
    };
    for (const Case& c : cases) {
        RecordingLog log;
        forms::Outcome outcome(log);
        for (const auto& [step, reason] : c.told)
            outcome.fail(step, reason);
        EXPECT_EQ(outcome.failures(), c.kept) << c.what;
        EXPECT_EQ(outcome.failed(), !c.kept.empty()) << c.what;
        EXPECT_EQ(outcome.exitCode(), c.kept.empty() ? 0 : 1603) << c.what;
        ASSERT_EQ(log.events.size(), c.told.size()) << c.what;
        for (std::size_t i = 0; i < c.told.size(); ++i) {
            EXPECT_EQ(log.events[i], "步驟失敗：" + c.told[i].first + "：" + c.told[i].second)
                << c.what;
        }
        // The closing message names each kept step with its reason, in order.
        const std::string summary = forms::failureSummary(outcome.failures());
        std::size_t at = 0;
        for (const forms::FailedStep& f : c.kept) {
            at = summary.find("● " + f.step + "\r\n    " + f.reason + "\r\n", at);
            EXPECT_NE(at, std::string::npos) << c.what << ": " << f.step;
        }
    }
}

}  // namespace
