#pragma once
// The real Windows machine: one instance of every platform service, handed out as one bundle.
// COM must be initialised on this thread before the first WMI call (winmain does it).

#include <memory>
#include <string>

#include "platform/services.h"

namespace platform::win32 {

class Machine {
  public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    platform::Services& services();
    // Runs this WMI query now, on a worker, so that the window thread does not wait for it
    // where the program asks for it (Win32Wmi::queryAhead).
    void queryAhead(const std::string& moniker, const std::string& wql);

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace platform::win32
