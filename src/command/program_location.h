#pragma once
// Where a started program comes from. A program of the system is started from the system
// folder (explorer from the Windows folder) and one that the package ships from the package
// folder, never from a search: a package folder is often writable by anyone, and a planted
// reg.exe there would otherwise run with the installer's administrator rights.

#include <optional>
#include <string>
#include <string_view>

namespace command {

struct Folders {
    std::string system;   // GetSystemDirectoryW, without a trailing backslash
    std::string windows;  // the Windows folder, without a trailing backslash
    std::string package;  // the running executable's folder, without a trailing backslash
};

// The program name a command line starts, as programPath reads it: CommandLineToArgvW's first
// argument once the blanks before it are skipped, without blanks at its end.
std::string_view programWord(std::string_view commandLine);

// The full path of the program that a command line starts (its first word, as Windows reads
// it), or nothing when the line names no program.
std::optional<std::string> programPath(std::string_view commandLine, const Folders& folders);

}  // namespace command
