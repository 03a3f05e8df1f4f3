#pragma once
// The install log as a file: Velmora.log in the user's temporary folder, UTF-8, one event a
// line behind its local time.

#include <string>

#include "platform/system.h"

namespace platform::win32 {

class Win32Log final : public platform::Log {
  public:
    Win32Log();
    void write(const std::string& event) noexcept override;
    void copyTo(const std::string& path) noexcept override;
    // Where the log is, for messages that point to it; empty when no folder was found.
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
    std::wstring copy_;
};

}  // namespace platform::win32
