#pragma once
// Arguments for the command lines the program starts. Text from the profile, a file name or
// the user becomes exactly one argument holding exactly that text, or it is refused before
// anything starts: no such text may change how a line splits or what it runs.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace command {

// How the line reaches the program that reads the argument.
enum class Receiver {
    // Started directly; the program splits its line as CommandLineToArgvW does (rundll32 and
    // the printer set-up entry point, devcon).
    Argv,
    // A "cmd /c" line: the command interpreter reads it first (quotes switch its special
    // characters off, but % and ! expand even between quotes), then the program splits it.
    Cmd,
};

enum class Refusal {
    ControlCharacter,  // line breaks, tabs and other control characters end or split lines
    NotUtf8,           // cannot become the UTF-16 of the real command line unchanged
    Quote,             // a double quote flips the command interpreter's quoting
    Percent,           // the command interpreter expands %name%, even between quotes
    Exclamation,       // and !name! when delayed expansion is on
};

// Why the text cannot be passed to that receiver, or nothing when it can.
std::optional<Refusal> refusal(std::string_view text, Receiver receiver);

// A short Traditional Chinese reason for a refusal, to name in a message.
std::string refusalText(Refusal refusal);

// Raised by the builders below for text that refusal() refuses; callers check first.
class RefusedArgument : public std::invalid_argument {
  public:
    explicit RefusedArgument(Refusal why);
    Refusal why() const { return why_; }

  private:
    Refusal why_;
};

// The argument between double quotes: "text" for ordinary text, with a quote inside and the
// backslashes before a quote or at the end escaped so that the receiver reads back the text.
std::string quoted(std::string_view text, Receiver receiver = Receiver::Argv);

// The text itself where it stands as one argument without quotes (no blank, tab or quote, not
// empty); otherwise quoted().
std::string bare(std::string_view text, Receiver receiver = Receiver::Argv);

}  // namespace command
