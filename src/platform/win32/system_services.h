#pragma once
// Message boxes, the clock, windows on top and the process, over Win32.

#include <cstdint>

#include "platform/system.h"

namespace platform::win32 {

class Win32MessageBoxes final : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string& text, const std::string& title, platform::Icon icon,
                          platform::Buttons buttons) override;
};

class Win32Clock final : public platform::Clock {
  public:
    Win32Clock();
    double now() override;
    void sleep(double seconds) override;

  private:
    std::int64_t ticksPerSecond_;
};

class Win32Windows final : public platform::Windows {
  public:
    bool setTopmost(platform::WindowHandle window, bool topmost) override;
};

class Win32Process final : public platform::Process {
  public:
    std::string exeName() override;
    std::string exeFolder() override;
    std::vector<std::string> arguments() override;
    bool runsAsLocalSystem() override;
    platform::WindowsTarget target() override;
    [[noreturn]] void end(int exitCode) override;
};

}  // namespace platform::win32
