#include "scenario/installed.h"

#include <algorithm>
#include <stdexcept>

#include "platform/printer_network.h"
#include "scenario/fields.h"
#include "text/text.h"

namespace scenario {

namespace {

using sim::json::Value;

[[noreturn]] void invalid(const std::string& what) {
    throw std::invalid_argument(what);
}

const std::string& requiredText(const Value& entry, const char* field) {
    const Value* v = entry.find(field);
    if (v == nullptr || !v->isString())
        invalid(std::string("machine.ports: every port needs ") + field + " as a string");
    return v->asString();
}

bool isPortNumber(const std::string& text) {
    constexpr std::size_t kMostDigits = 5;  // as many as the highest port has
    if (text.empty() || text.size() > kMostDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const long number = std::stol(text);
    return number >= 1 && number <= platform::kHighestPort;
}

}  // namespace

std::vector<sim::Port> portsFrom(const Value& ports) {
    if (!ports.isArray())
        invalid("machine.ports must be an array");
    std::vector<sim::Port> out;
    for (const Value& entry : ports.asArray()) {
        if (!entry.isObject())
            invalid("machine.ports: entries must be objects");
        refuseUnknownFields(entry, {"Name", "HostAddress", "PortNumber", "Protocol", "SNMPEnabled"},
                            "machine.ports");
        sim::Port port;
        port.name = requiredText(entry, "Name");
        port.hostAddress = requiredText(entry, "HostAddress");
        port.portNumber = requiredText(entry, "PortNumber");
        if (port.name.empty())
            invalid("machine.ports: a port's Name is empty");
        if (!isPortNumber(port.portNumber))
            invalid("machine.ports: PortNumber must be a number as text, \"1\" to \"65535\"");
        const Value* protocol = entry.find("Protocol");
        // 1 raw, 2 LPR: the two the Standard TCP/IP Port monitor knows.
        if (protocol == nullptr || !protocol->isNumber() ||
            (protocol->asNumber() != 1 && protocol->asNumber() != 2)) {
            invalid("machine.ports: Protocol must be 1 (raw) or 2 (LPR)");
        }
        port.protocol = protocol->asInteger();
        if (const Value* snmp = entry.find("SNMPEnabled")) {
            if (!snmp->isBool())
                invalid("machine.ports: SNMPEnabled must be true or false");
            port.snmpEnabled = snmp->asBool();
        }
        // The spooler knows a port by its name in any case.
        for (const sim::Port& earlier : out) {
            if (text::asciiLower(earlier.name) == text::asciiLower(port.name))
                invalid("machine.ports: \"" + port.name + "\" is given twice");
        }
        out.push_back(std::move(port));
    }
    return out;
}

std::vector<std::string> driversFrom(const Value& drivers) {
    if (!drivers.isArray())
        invalid("machine.drivers must be an array");
    std::vector<std::string> out;
    for (const Value& entry : drivers.asArray()) {
        if (!entry.isString() || entry.asString().empty())
            invalid("machine.drivers: names must be non-empty strings");
        if (std::find(out.begin(), out.end(), entry.asString()) != out.end())
            invalid("machine.drivers: \"" + entry.asString() + "\" is given twice");
        out.push_back(entry.asString());
    }
    return out;
}

}  // namespace scenario
