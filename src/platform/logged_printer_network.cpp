#include "platform/logged_printer_network.h"

#include "platform/error.h"
#include "platform/logging.h"

namespace platform {

bool LoggedPrinterNetwork::probe(const std::string& address, int port) {
    const std::string what = "探測 " + address + " 連接埠 " + std::to_string(port);
    try {
        bool open = inner_.probe(address, port);
        log_.write(what + " → " + (open ? "有回應" : "沒有回應"));
        return open;
    } catch (const Error& e) {
        log_.write(what + " → " + failureText(e));
        throw;
    }
}

std::optional<std::string> LoggedPrinterNetwork::printerAttribute(const std::string& address,
                                                                  const std::string& attribute) {
    const std::string what = "詢問 " + address + " 的 IPP 屬性 " + attribute;
    try {
        std::optional<std::string> value = inner_.printerAttribute(address, attribute);
        log_.write(what + " → " + (value ? "\"" + *value + "\"" : std::string("未回報")));
        return value;
    } catch (const Error& e) {
        log_.write(what + " → " + failureText(e));
        throw;
    }
}

}  // namespace platform
