#include "platform/win32/spooler_services.h"

#include <windows.h>

#include <winspool.h>

#include <cstring>

#include "platform/win32/wide.h"
#include "platform/win32/winspool.h"

namespace platform::win32 {

namespace {

using OpenPrinterFunction = BOOL WINAPI(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
using ClosePrinterFunction = BOOL WINAPI(HANDLE);
using DeletePrinterFunction = BOOL WINAPI(HANDLE);
using XcvDataFunction = BOOL WINAPI(HANDLE, PCWSTR, PBYTE, DWORD, PBYTE, DWORD, PDWORD, PDWORD);

// A printer or monitor handle, closed on every way out.
class PrinterHandle {
  public:
    PrinterHandle(HANDLE handle, ClosePrinterFunction* close) : handle_(handle), close_(close) {}
    ~PrinterHandle() { close_(handle_); }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
    ClosePrinterFunction* close_;
};

// The Standard TCP/IP Port monitor's record for "DeletePort" (tcpxcv.h). It starts with the
// port's name, so a monitor that reads the input as a plain name reads the same.
constexpr std::size_t kMaxPortNameLength = 64;  // MAX_PORTNAME_LEN, with the terminating NUL
constexpr std::size_t kReservedBytes = 98;
struct DeletePortData {
    WCHAR portName[kMaxPortNameLength];
    BYTE reserved[kReservedBytes];
    DWORD version;
    DWORD obsolete;
};

}  // namespace

bool Win32Spooler::removePrinter(const std::string& name) {
    const std::string call = "spooler.removePrinter " + name;
    // A local printer's name is never empty and holds no comma; OpenPrinter would read such a
    // name as the print server itself or as a monitor, not as a printer.
    if (name.empty() || name.find(',') != std::string::npos)
        return false;
    static auto* openPrinter = winspool<OpenPrinterFunction>("OpenPrinterW", call);
    static auto* closePrinter = winspool<ClosePrinterFunction>("ClosePrinter", call);
    static auto* deletePrinter = winspool<DeletePrinterFunction>("DeletePrinter", call);
    std::wstring wide = toWide(name);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE raw = nullptr;
    if (!openPrinter(wide.data(), &raw, &defaults)) {
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_PRINTER_NAME)
            return false;
        throw win32Error(error, call);
    }
    PrinterHandle printer(raw, closePrinter);
    if (!deletePrinter(printer.get()))
        throw lastError(call);
    return true;
}

bool Win32Spooler::removePort(const std::string& name) {
    const std::string call = "spooler.removePort " + name;
    const std::wstring wide = toWide(name);
    // The monitor holds no port with an empty name or one longer than its record takes.
    if (wide.empty() || wide.size() >= kMaxPortNameLength)
        return false;
    static auto* openPrinter = winspool<OpenPrinterFunction>("OpenPrinterW", call);
    static auto* closePrinter = winspool<ClosePrinterFunction>("ClosePrinter", call);
    static auto* xcvData = winspool<XcvDataFunction>("XcvDataW", call);
    wchar_t monitorName[] = L",XcvMonitor Standard TCP/IP Port";
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE raw = nullptr;
    if (!openPrinter(monitorName, &raw, &defaults))
        throw lastError(call);
    PrinterHandle monitor(raw, closePrinter);

    DeletePortData data{};
    std::memcpy(data.portName, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    data.version = 1;
    DWORD needed = 0;
    DWORD status = ERROR_SUCCESS;
    // XcvData fails when the spooler cannot ask the monitor; the monitor's own answer comes
    // back in status.
    if (!xcvData(monitor.get(), L"DeletePort", reinterpret_cast<PBYTE>(&data), sizeof data, nullptr,
                 0, &needed, &status)) {
        throw lastError(call);
    }
    if (status == ERROR_SUCCESS)
        return true;
    if (status == ERROR_UNKNOWN_PORT)
        return false;
    throw win32Error(status, call);
}

}  // namespace platform::win32
