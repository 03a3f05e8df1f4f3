#pragma once
// The printer models the engine installs over USB, each with its device console lines.

#include <string>
#include <vector>

namespace engine {

struct UsbModel {
    const char* printerName;
    const char* message;  // shown first, or nullptr
    std::vector<const char*> lines;
    int windowStyle;
};

inline constexpr const char* kDevconRescan = "devcon rescan";

const std::vector<UsbModel>& usbModels();
// The first row whose name equals the key exactly, or nullptr.
const UsbModel* findUsbModel(const std::string& key);

}  // namespace engine
