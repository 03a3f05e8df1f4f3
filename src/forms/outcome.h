#pragma once
// How a run went: the steps that did not do what they were asked, each with its reason. The
// run tells them to the user in one message before the program ends, and the exit code says
// whether there were any.

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/system.h"

namespace forms {

struct FailedStep {
    std::string step;    // what was asked, e.g. "新增連接埠 IP_10.0.0.7"
    std::string reason;  // why it did not happen, in Traditional Chinese
    bool operator==(const FailedStep&) const = default;
};

class Outcome {
  public:
    explicit Outcome(platform::Log& log) : log_(log) {}

    // Keeps a failed step; a step already kept keeps its first reason (both go to the log).
    void fail(const std::string& step, const std::string& reason);
    void fail(const std::string& step, const platform::Error& error);

    const std::vector<FailedStep>& failures() const { return failures_; }
    bool failed() const { return !failures_.empty(); }
    // 0 when every step did its part, 1603 otherwise.
    int exitCode() const;

  private:
    platform::Log& log_;
    std::vector<FailedStep> failures_;
};

// The reason an error gives: "錯誤 0x80070002：系統找不到指定的檔案。"
std::string reasonOf(const platform::Error& error);

// The closing message of a run with failed steps: each step and its reason.
std::string failureSummary(const std::vector<FailedStep>& failures);

inline constexpr const char* kFailureTitle = "Velmora";

// The message for a package that cannot be installed from; nothing was installed.
std::string damagedPackageText(const std::string& what);

}  // namespace forms
