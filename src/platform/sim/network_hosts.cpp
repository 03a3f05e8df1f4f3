#include "platform/sim/network_hosts.h"

#include <cmath>
#include <stdexcept>

#include "platform/printer_network.h"

namespace sim {

namespace {

[[noreturn]] void invalid(const std::string& what) {
    throw std::invalid_argument("machine.network: " + what);
}

int portOf(const json::Value& value, const std::string& address) {
    if (!value.isNumber())
        invalid("\"" + address + "\".open must hold port numbers");
    double port = value.asNumber();
    if (port != std::floor(port) || port < 1 || port > platform::kHighestPort)
        invalid("\"" + address + "\".open: ports are whole numbers from 1 to 65535");
    return static_cast<int>(port);
}

}  // namespace

NetworkHosts readNetworkHosts(const json::Value& network) {
    if (!network.isObject())
        throw std::invalid_argument("machine.network must be an object of addresses");
    NetworkHosts hosts;
    for (const auto& [address, entry] : network.members()) {
        if (address.empty())
            invalid("an address is empty");
        if (!entry.isObject())
            invalid("\"" + address + "\" must be an object");
        NetworkHost host;
        for (const auto& [field, value] : entry.members()) {
            if (field == "open") {
                if (!value.isArray())
                    invalid("\"" + address + "\".open must be an array");
                for (const json::Value& port : value.asArray())
                    host.open.push_back(portOf(port, address));
            } else if (field == "ipp") {
                if (!value.isObject())
                    invalid("\"" + address + "\".ipp must be an object");
                for (const auto& [name, text] : value.members()) {
                    if (!text.isString())
                        invalid("\"" + address + "\".ipp: \"" + name + "\" must be a string");
                    host.ipp[name] = text.asString();
                }
            } else {
                invalid("\"" + address + "\" has no field \"" + field + "\"");
            }
        }
        hosts[address] = std::move(host);
    }
    return hosts;
}

bool writtenAfterNetworkCall(const json::Value& op, const std::string& field) {
    if (!op.isString())
        return false;
    return (op.asString() == "net.probe" && field == "open") ||
           (op.asString() == "ipp.query" && field == "value");
}

}  // namespace sim
