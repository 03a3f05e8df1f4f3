#pragma once
// The printer network of the simulated machine: probes and IPP questions answered from the
// scenario's machine.network, each a transcript line that a fault can fail.

#include "platform/printer_network.h"
#include "platform/sim/machine.h"

namespace sim {

class SimPrinterNetwork : public platform::PrinterNetwork {
  public:
    explicit SimPrinterNetwork(Machine& machine) : machine_(machine) {}
    bool probe(const std::string& address, int port) override;
    std::optional<std::string> printerAttribute(const std::string& address,
                                                const std::string& attribute) override;

  private:
    Machine& machine_;
};

}  // namespace sim
