#pragma once
// The scripting shell object (Run, RegWrite), the network object, and the launcher that starts
// a command line without waiting.

#include <optional>
#include <string>

namespace platform {

// Window styles of a started program, as the show-window flags take them.
namespace window_style {
inline constexpr int kHidden = 0;
inline constexpr int kNormal = 1;
inline constexpr int kMinimized = 2;
inline constexpr int kMaximized = 3;
inline constexpr int kRestored = 9;
}  // namespace window_style

class Shell {
  public:
    virtual ~Shell() = default;
    // Runs a command line, a folder or a document as the shell opens it. Style absent means the
    // default (normal). With wait set, returns the exit code once the program has ended;
    // without, returns 0 at once.
    virtual long long run(const std::string& command, std::optional<int> style, bool wait) = 0;
    // Writes a registry value given as full path ("HKEY_CURRENT_USER\...\Name"), value text
    // and type name ("REG_DWORD", "REG_SZ").
    virtual void regWrite(const std::string& path, const std::string& value,
                          const std::string& type) = 0;
    // Opens a document or a folder of the current folder (a relative name) with the shell's
    // verb ("open") in a window of that style, without waiting. The name is never parsed as a
    // command line, so blanks and any other character stay part of it.
    virtual void open(const std::string& file, const std::string& verb, int style) = 0;
};

class Network {
  public:
    virtual ~Network() = default;
    virtual void setDefaultPrinter(const std::string& name) = 0;
    virtual void addWindowsPrinterConnection(const std::string& path) = 0;
};

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts a command line with a window style and returns at once.
    virtual void start(const std::string& command, int style) = 0;
};

}  // namespace platform
