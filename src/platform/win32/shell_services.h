#pragma once
// The shell object (Run, RegWrite), the network object and the launcher, over Win32.

#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell final : public platform::Shell {
  public:
    long long run(const std::string& command, std::optional<int> style, bool wait) override;
    void regWrite(const std::string& path, const std::string& value,
                  const std::string& type) override;
    void open(const std::string& file, const std::string& verb, int style) override;
};

class Win32Network final : public platform::Network {
  public:
    void setDefaultPrinter(const std::string& name) override;
    void addWindowsPrinterConnection(const std::string& path) override;
};

class Win32Launcher final : public platform::Launcher {
  public:
    void start(const std::string& command, int style) override;
};

}  // namespace platform::win32
