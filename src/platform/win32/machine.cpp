#include "platform/win32/machine.h"

#include <windows.h>

#include <objbase.h>

#include "platform/win32/file_services.h"
#include "platform/win32/log_services.h"
#include "platform/win32/printer_network_services.h"
#include "platform/win32/shell_services.h"
#include "platform/win32/spooler_services.h"
#include "platform/win32/system_services.h"
#include "platform/win32/wide.h"
#include "platform/win32/wmi_services.h"

namespace platform::win32 {

struct Machine::Parts {
    Win32Wmi wmi;
    Win32Shell shell;
    Win32Network network;
    Win32Launcher launcher;
    Win32Files files;
    Win32Codepage codepage;
    Win32ProfileApi profileApi;
    Win32MessageBoxes messageBoxes;
    Win32Clock clock;
    Win32Windows windows;
    Win32Process process;
    Win32Spooler spooler;
    Win32Log log;
    Win32PrinterNetwork printerNetwork;
    platform::Services services{wmi,      shell,      network,      launcher,      files,
                                codepage, profileApi, messageBoxes, clock,         windows,
                                process,  spooler,    log,          printerNetwork};
};

Machine::Machine() : parts_(std::make_unique<Parts>()) {
    // Files are named relative to the current folder, which must be the package folder: a
    // start from a shortcut, a prompt elsewhere or an elevation from a system folder would
    // otherwise read and create ip.ini in the wrong place.
    std::string folder = parts_->process.exeFolder();
    if (!folder.empty() && folder.back() == ':')
        folder += '\\';  // "C:" alone is that drive's last current folder, not its root
    if (!SetCurrentDirectoryW(toWide(folder).c_str()))
        throw lastError("process.setCurrentDirectory " + folder);
    // Once per process, before the first WMI proxy: lets the WMI service impersonate us.
    // RPC_E_TOO_LATE means someone set it already; any other failure still leaves each proxy's
    // own blanket (set on connect) to decide, so it is not fatal here.
    HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    (void)hr;
}

Machine::~Machine() = default;

platform::Services& Machine::services() {
    return parts_->services;
}

void Machine::queryAhead(const std::string& moniker, const std::string& wql) {
    parts_->wmi.queryAhead(moniker, wql);
}

}  // namespace platform::win32
