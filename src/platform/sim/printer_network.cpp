#include "platform/sim/printer_network.h"

#include <algorithm>

namespace sim {

namespace {

// Without machine.network every address is a printer that listens on the raw and IPP ports and
// reports nothing about itself; with it, only the addresses it lists answer.
bool listens(const Machine& machine, const std::string& address, int port) {
    if (!machine.network)
        return port == platform::kRawPrintPort || port == platform::kIppPort;
    auto host = machine.network->find(address);
    if (host == machine.network->end())
        return false;
    const std::vector<int>& open = host->second.open;
    return std::find(open.begin(), open.end(), port) != open.end();
}

}  // namespace

bool SimPrinterNetwork::probe(const std::string& address, int port) {
    json::Value line = Transcript::line("net.probe");
    line.set("address", address);
    line.set("port", port);
    machine_.check(line, platform::errors::kNetworkDown);
    bool open = listens(machine_, address, port);
    line.set("open", open);
    machine_.record(line);
    return open;
}

std::optional<std::string> SimPrinterNetwork::printerAttribute(const std::string& address,
                                                               const std::string& attribute) {
    json::Value line = Transcript::line("ipp.query");
    line.set("address", address);
    line.set("attribute", attribute);
    machine_.check(line, platform::errors::kNetworkDown);
    std::optional<std::string> value;
    if (machine_.network && listens(machine_, address, platform::kIppPort)) {
        const auto& ipp = machine_.network->at(address).ipp;
        if (auto found = ipp.find(attribute); found != ipp.end())
            value = found->second;
    }
    line.set("value", value ? json::Value(*value) : json::Value());
    machine_.record(line);
    return value;
}

}  // namespace sim
