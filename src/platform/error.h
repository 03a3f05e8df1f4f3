#pragma once
// The one error type of every platform call: a number and a description, as the operating
// system raises them, plus the record of the call that failed (the simulated machine keeps its
// transcript line there; the real machine a readable name of the operation).

#include <cstdint>
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

// Error numbers the program itself raises or tests for; error_texts.h gives each its text.
namespace errors {
inline constexpr long long kInvalidProcedureCall = 5;
inline constexpr long long kOverflow = 6;
inline constexpr long long kOutOfMemory = 7;
inline constexpr long long kTypeMismatch = 13;
inline constexpr long long kInternalError = 51;
inline constexpr long long kBadFileName = 52;
inline constexpr long long kFileNotFound = 53;
inline constexpr long long kDiskFull = 61;
inline constexpr long long kInputPastEnd = 62;
inline constexpr long long kPermissionDenied = 70;
inline constexpr long long kPathFileAccess = 75;
inline constexpr long long kPathNotFound = 76;
inline constexpr long long kInvalidPropertyValue = 380;
inline constexpr long long kInvalidIndex = 381;
inline constexpr long long kNetworkDown = 10050;  // WSAENETDOWN: no network to ask a printer on

// HRESULTs as the scripting runtime raises them: signed 32-bit numbers.
constexpr long long hresult(std::uint32_t code) {
    return static_cast<std::int32_t>(code);
}
inline constexpr long long kFileNotFoundHresult = hresult(0x80070002);
inline constexpr long long kAccessDeniedHresult = hresult(0x80070005);
inline constexpr long long kRpcUnavailable = hresult(0x800706BA);
inline constexpr long long kUnknownPort = hresult(0x80070704);
inline constexpr long long kUnknownPrinterDriver = hresult(0x80070705);
inline constexpr long long kInvalidPrinterName = hresult(0x80070709);
inline constexpr long long kBusy = hresult(0x800700AA);           // ERROR_BUSY: a port still in use
inline constexpr long long kMonikerSyntax = hresult(0x800401E4);  // MK_E_SYNTAX
inline constexpr long long kBadParamCount = hresult(0x8002000E);  // DISP_E_BADPARAMCOUNT
inline constexpr long long kWbemFailed = hresult(0x80041001);
inline constexpr long long kWbemNotFound = hresult(0x80041002);
inline constexpr long long kWbemAccessDenied = hresult(0x80041003);
inline constexpr long long kWbemTypeMismatch = hresult(0x80041005);
inline constexpr long long kWbemOutOfMemory = hresult(0x80041006);
inline constexpr long long kWbemInvalidParameter = hresult(0x80041008);
inline constexpr long long kWbemCriticalError = hresult(0x8004100A);
inline constexpr long long kWbemNotSupported = hresult(0x8004100C);
inline constexpr long long kWbemInvalidNamespace = hresult(0x8004100E);
inline constexpr long long kWbemInvalidClass = hresult(0x80041010);
inline constexpr long long kWbemProviderLoadFailure = hresult(0x80041013);
inline constexpr long long kWbemInvalidQuery = hresult(0x80041017);
inline constexpr long long kWbemUnexpected = hresult(0x8004101D);
inline constexpr long long kWbemInvalidMethod = hresult(0x8004102E);
inline constexpr long long kWbemInvalidMethodParameters = hresult(0x8004102F);
}  // namespace errors

}  // namespace platform
