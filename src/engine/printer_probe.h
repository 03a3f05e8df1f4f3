#pragma once
// What the install asks when the printer at a TCP/IP address does not answer on the raw
// printing port the install makes its port for.

#include <optional>
#include <string>

#include "platform/printer_network.h"

namespace engine {

inline constexpr int kLpdPort = 515;
// Asked only when the raw port is silent: an answer on one of them means a printer is there.
inline constexpr int kOtherPrintingPorts[] = {platform::kIppPort, kLpdPort};

// The question, naming the address; otherPort is the port that answered when another did.
std::string noAnswerQuestion(const std::string& address, std::optional<int> otherPort);

}  // namespace engine
