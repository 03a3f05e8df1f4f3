#pragma once
// The real Windows machine: one instance of every platform service, handed out as one bundle.
// COM must be initialised on this thread before the first WMI call (winmain does it).

#include <memory>

#include "platform/services.h"

namespace platform::win32 {

class Machine {
  public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    platform::Services& services();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace platform::win32
