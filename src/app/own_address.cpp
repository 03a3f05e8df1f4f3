#include "app/own_address.h"

namespace app {

std::string pickOwnAddress(const std::vector<platform::Value>& addressLists) {
    std::string found;
    for (const platform::Value& addresses : addressLists) {
        if (addresses.kind != platform::Value::Kind::StringList)
            continue;
        for (const std::string& entry : addresses.list) {
            found = entry;
            if (!entry.empty())
                break;
        }
    }
    return found;
}

std::string findOwnAddress(platform::Wmi& wmi) {
    auto service = wmi.connect(kAdapterMoniker);
    std::vector<platform::Value> lists;
    for (const platform::WmiObject& adapter : service->execQuery(kAdapterQuery, std::nullopt)) {
        const platform::Value* addresses = adapter.property("IPAddress");
        lists.push_back(addresses != nullptr ? *addresses : platform::Value::null());
    }
    return pickOwnAddress(lists);
}

}  // namespace app
