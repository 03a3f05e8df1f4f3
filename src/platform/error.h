#pragma once
// The one error type of every platform call: a number and a description, as the operating
// system raises them, plus the record of the call that failed (the simulated machine keeps its
// transcript line there; the real machine a readable name of the operation).

#include <exception>
#include <optional>
#include <string>

namespace platform {

class Error : public std::exception {
  public:
    Error(long long number, std::string description, std::optional<std::string> call = {})
        : number_(number), description_(std::move(description)), call_(std::move(call)) {}

    long long number() const { return number_; }
    const std::string& description() const { return description_; }
    // Absent for a failed conversion, which is no call.
    const std::optional<std::string>& call() const { return call_; }
    const char* what() const noexcept override { return description_.c_str(); }

  private:
    long long number_;
    std::string description_;
    std::optional<std::string> call_;
};

// Error numbers the program itself raises or tests for.
namespace errors {
inline constexpr long long kTypeMismatch = 13;
inline constexpr long long kOverflow = 6;
inline constexpr long long kFileNotFound = 53;
inline constexpr long long kPathNotFound = 76;
inline constexpr long long kPermissionDenied = 70;
inline constexpr long long kPathFileAccess = 75;
inline constexpr long long kInputPastEnd = 62;
inline constexpr long long kInvalidIndex = 381;
}  // namespace errors

}  // namespace platform
