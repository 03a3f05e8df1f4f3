#pragma once
// What the install asks when the printer at a TCP/IP address does not answer on the raw
// printing port the install makes its port for.

#include <optional>
#include <string>

namespace engine {

inline constexpr int kRawPrintingPort = 9100;
// Asked only when the raw port is silent: an answer on one of them means a printer is there.
inline constexpr int kOtherPrintingPorts[] = {631, 515};  // IPP, LPD

// The question, naming the address; otherPort is the port that answered when another did.
std::string noAnswerQuestion(const std::string& address, std::optional<int> otherPort);

}  // namespace engine
