#pragma once
// The program's own command line, as a deployment tool writes it: Windows Installer's
// conventions (/quiet, /passive, /log=...), switches starting with / or - in any ASCII case,
// a value after the first "=". Values are taken as given; the address and name rules check
// them later.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace command {

enum class Ui { Full, Passive, Quiet };

struct Switches {
    Ui ui = Ui::Full;
    std::optional<std::string> ip;
    std::optional<std::string> name;
    std::optional<std::string> log;
    bool uninstall = false;
    bool help = false;

    bool operator==(const Switches&) const = default;
};

// A command line the program refuses: the argument at fault and why, in Traditional Chinese.
struct BadSwitch {
    std::string argument;
    std::string reason;

    bool operator==(const BadSwitch&) const = default;
};

// The arguments after the program's name, as CommandLineToArgvW gives them. No arguments give
// the full interface.
std::variant<Switches, BadSwitch> parseSwitches(const std::vector<std::string>& arguments);

// Whether an argument asks for a run nobody watches (/quiet, /passive or an alias, with no
// value): a command line that is refused still shows no box then.
bool asksUnattended(const std::vector<std::string>& arguments);

// The usage shown for /? and with a refusal: one line a switch, then the exit codes.
std::string usageText();

}  // namespace command
