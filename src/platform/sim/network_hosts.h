#pragma once
// The printers the simulated machine can reach: which ports each address listens on and what
// it answers over IPP (the scenario's machine.network).

#include <map>
#include <string>
#include <vector>

#include "platform/sim/json.h"

namespace sim {

struct NetworkHost {
    std::vector<int> open;                   // ports that accept a connection
    std::map<std::string, std::string> ipp;  // attributes it reports, on port 631 only
};

using NetworkHosts = std::map<std::string, NetworkHost>;

// Reads machine.network: {"10.0.0.7": {"open": [9100, 631], "ipp": {"name": "text"}}}. Throws
// std::invalid_argument for anything else: wrong types, a port outside 1 to 65535, an unknown
// field.
NetworkHosts readNetworkHosts(const json::Value& network);

// Whether a fault's field is one the call writes after it is made (a probe's "open", a query's
// "value"): a fault copied from a transcript matches on what the call is asked, not on what it
// answered.
bool writtenAfterNetworkCall(const json::Value& op, const std::string& field);

}  // namespace sim
