#pragma once
// A command line split into arguments as CommandLineToArgvW splits it: the reading that
// rundll32, the printer set-up entry point and the programs the simulated machine runs give
// the lines the program starts. The one splitter of the program; the Wine tests hold it
// against the real CommandLineToArgvW line by line.

#include <string>
#include <string_view>
#include <vector>

namespace command {

// The program name at the front of a line: up to the next quote when the line starts with one
// (or to the end), else up to the first blank or tab; backslashes and quotes taken literally.
// A line starting with a blank has an empty program name.
std::string_view programName(std::string_view line);

// The program name, then the arguments: blanks and tabs outside quotes separate; 2n backslashes
// before a quote give n and the quote delimits, 2n+1 give n and a literal quote; other
// backslashes stay. Inside quotes, each third quote in a row is a literal quote and a run of
// quotes that leaves one or two over ends the quoted part. The line ends at a NUL, as the
// real call reads a C string. An empty line gives one empty program name, where Windows
// gives the running program's path.
std::vector<std::string> splitArguments(std::string_view line);

}  // namespace command
