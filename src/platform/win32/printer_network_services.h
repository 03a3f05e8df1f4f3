#pragma once
// The printer network over Winsock (the probe) and WinHTTP (the IPP question).

#include <cstdint>

#include "platform/printer_network.h"

namespace platform::win32 {

class Win32PrinterNetwork final : public platform::PrinterNetwork {
  public:
    Win32PrinterNetwork() = default;
    ~Win32PrinterNetwork() override;
    Win32PrinterNetwork(const Win32PrinterNetwork&) = delete;
    Win32PrinterNetwork& operator=(const Win32PrinterNetwork&) = delete;

    bool probe(const std::string& address, int port) override;
    std::optional<std::string> printerAttribute(const std::string& address,
                                                const std::string& attribute) override;

  private:
    bool winsockStarted_ = false;
    std::uint32_t lastRequestId_ = 0;
};

}  // namespace platform::win32
