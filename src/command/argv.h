#pragma once
// A command line split into arguments as CommandLineToArgvW splits it: the reading that
// rundll32 and the printer set-up entry point give the lines the program starts.

#include <string>
#include <string_view>
#include <vector>

namespace command {

// The program name first (up to the next quote when it starts with one, else up to the first
// blank; backslashes taken literally), then the arguments: blanks and tabs outside quotes
// separate, 2n backslashes before a quote give n and the quote delimits, 2n+1 give n and a
// literal quote, other backslashes stay, and a third quote in a row inside quotes is literal.
std::vector<std::string> splitArguments(std::string_view line);

}  // namespace command
