#pragma once
// Message boxes, the clock, windows on top, the process itself and its log.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class Icon { None, Information, Exclamation, Stop, Question };
enum class Buttons { Ok, YesNo };
// Esc or the close box answers a Yes/No box No, and an OK box OK.
enum class Answer { Ok, Yes, No };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message box over the active window and returns the answer.
    virtual Answer show(const std::string& text, const std::string& title, Icon icon,
                        Buttons buttons) = 0;
};

inline constexpr int kMillisecondsPerSecond = 1000;

class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds on a monotonic clock; only differences mean anything.
    virtual double now() = 0;
    // Blocks the thread for that long without handling window messages.
    virtual void sleep(double seconds) = 0;
};

// An opaque native window handle (an HWND on the real machine).
using WindowHandle = std::uintptr_t;

class Windows {
  public:
    virtual ~Windows() = default;
    // SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, no move, no size; returns its result.
    virtual bool setTopmost(WindowHandle window, bool topmost) = 0;
};

// What a driver package is chosen for: the processor architecture Windows runs on (not the
// one this program was built for), its version and the user interface language.
enum class Architecture { X86, Amd64, Arm, Arm64, Ia64 };

// Windows 10 22H2 in Traditional Chinese (Taiwan): the PC the program is made for.
inline constexpr unsigned kWindows10Major = 10;
inline constexpr unsigned kWindows10Build22H2 = 19045;
inline constexpr std::uint16_t kTaiwanLanguage = 0x0404;  // zh-TW

struct WindowsTarget {
    Architecture architecture = Architecture::Amd64;
    unsigned major = kWindows10Major;
    unsigned minor = 0;
    unsigned build = kWindows10Build22H2;
    unsigned productType = 1;                  // 1 workstation, 2 domain controller, 3 server
    unsigned suiteMask = 0x100;                // VER_SUITE_* bits
    std::uint16_t language = kTaiwanLanguage;  // a LANGID: primary language in the low 10 bits
};

// The architecture as people name it: "x64", "x86", "ARM64", "ARM", "IA64".
const char* architectureName(Architecture architecture);

class Process {
  public:
    virtual ~Process() = default;
    // The Windows this process runs on. Never fails: the answers come from the system's own
    // records.
    virtual WindowsTarget target() = 0;
    // The running executable's file name without folder, e.g. "安裝.exe".
    virtual std::string exeName() = 0;
    // The executable's folder, without a trailing backslash.
    virtual std::string exeFolder() = 0;
    // The arguments after the program's name, split as CommandLineToArgvW splits them.
    virtual std::vector<std::string> arguments() = 0;
    // Whether the process runs as LocalSystem, as a deployment tool's service starts it: no
    // one sits at that desktop to answer a window.
    virtual bool runsAsLocalSystem() = 0;
    // Ends the process at once with that exit code; no window's closing reaction runs.
    [[noreturn]] virtual void end(int exitCode) = 0;
};

// The install log for administrators: one event a line. Writing never fails and never holds
// the program up; an event that cannot be written is dropped.
class Log {
  public:
    virtual ~Log() = default;
    virtual void write(const std::string& event) noexcept = 0;
    // Writes every later event to this file too, in the same form (a relative path is taken
    // from the current folder). A file that cannot be written is told once in this log and
    // left; the run never stops for it.
    virtual void copyTo(const std::string& path) noexcept = 0;
};

}  // namespace platform
