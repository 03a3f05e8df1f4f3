#pragma once
// The printer's own answer over the network: whether it listens on a port, and what it reports
// of itself over IPP. Both wait at most two seconds; a printer that is off or absent is the
// usual case, not a failure.

#include <optional>
#include <string>

namespace platform {

// The printer's ports: raw printing (the port the program creates prints there) and IPP.
inline constexpr int kRawPrintPort = 9100;
inline constexpr int kIppPort = 631;
inline constexpr int kHighestPort = 65535;

class PrinterNetwork {
  public:
    virtual ~PrinterNetwork() = default;
    // Whether something accepts a TCP connection on the port within two seconds. The address is
    // numeric (IPv4 or IPv6); a name is not looked up and answers nothing.
    virtual bool probe(const std::string& address, int port) = 0;
    // The printer's IPP attribute as text (Get-Printer-Attributes on
    // http://address:631/ipp/print, two seconds), or nothing when it does not answer or does
    // not report it.
    virtual std::optional<std::string> printerAttribute(const std::string& address,
                                                        const std::string& attribute) = 0;
};

}  // namespace platform
