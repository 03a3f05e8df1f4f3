#pragma once
// Taking printers and ports off the machine: what an uninstall does.

#include <string>

namespace platform {

class Spooler {
  public:
    virtual ~Spooler() = default;
    // Deletes the printer of that name; false when there is none. Raises platform::Error when
    // it is there and cannot be deleted.
    virtual bool removePrinter(const std::string& name) = 0;
    // Deletes the Standard TCP/IP port of that name; false when that monitor has none. Raises
    // platform::Error when it is there and cannot be deleted (a printer still prints to it).
    virtual bool removePort(const std::string& name) = 0;
};

}  // namespace platform
