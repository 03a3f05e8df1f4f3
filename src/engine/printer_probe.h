#pragma once
// What the install asks when the printer at a TCP/IP address does not answer on the raw
// printing port the install makes its port for.

#include <optional>
#include <string>

#include "platform/printer_network.h"

namespace engine {

inline constexpr int kLpdPort = 515;
// In this order: the raw port the install's port prints to, then IPP and LPD, which tell a
// printer that is there from none.
inline constexpr int kProbedPorts[] = {platform::kRawPrintPort, platform::kIppPort, kLpdPort};

// The question, naming the address; otherPort is the port that answered when another did.
std::string noAnswerQuestion(const std::string& address, std::optional<int> otherPort);

}  // namespace engine
