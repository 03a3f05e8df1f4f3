#pragma once
// Removing printers and Standard TCP/IP ports through the print spooler.

#include "platform/spooler.h"

namespace platform::win32 {

class Win32Spooler final : public platform::Spooler {
  public:
    bool removePrinter(const std::string& name) override;
    bool removePort(const std::string& name) override;
};

}  // namespace platform::win32
