#pragma once
// The printer network with every probe and question written to the install log, with its
// answer: what the program learnt of a printer decides what it installs, so an administrator
// can see why. A failing call is logged and raised unchanged.

#include "platform/printer_network.h"
#include "platform/system.h"

namespace platform {

class LoggedPrinterNetwork final : public PrinterNetwork {
  public:
    LoggedPrinterNetwork(PrinterNetwork& inner, Log& log) : inner_(inner), log_(log) {}
    bool probe(const std::string& address, int port) override;
    std::optional<std::string> printerAttribute(const std::string& address,
                                                const std::string& attribute) override;

  private:
    PrinterNetwork& inner_;
    Log& log_;
};

}  // namespace platform
