#pragma once
// Recording printing preferences: the printer user interface stores an installed printer's
// settings into a file of the package, which the installer applies after installing.

#include <optional>
#include <string>

namespace maker {

inline constexpr const char* kRecordingTitle = "製作列印喜好設定";

// The command line that records one printer's settings into a file of the current folder:
// the command interpreter starts the printer user interface and waits for it. The name is
// one argument between quotes; a name the interpreter would expand or split (" % !, control
// characters) raises command::RefusedArgument.
std::string recordingLine(const std::string& printerName, const std::string& file);

// Why a printer of that name cannot be recorded, for the message; nothing when it can.
std::optional<std::string> recordingRefusal(const std::string& printerName);

// The questions asked before recording, one printer and two.
extern const char* const kOnePrinterQuestion;
extern const char* const kTwoPrinterQuestion;

}  // namespace maker
