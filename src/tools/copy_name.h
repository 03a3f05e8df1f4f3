#pragma once
// The name of an installer copy, and what the copy window lets into it. The engine reads such
// a name back with engine::namePartsOf; for every set of pieces accepted here that reading
// gives the same address and printer name.

#include <optional>
#include <string>

namespace tools {

// What every copy is made from: the package's installer.
inline constexpr const char* kInstaller = "安裝.exe";

struct CopyPieces {
    std::string customWord;
    std::string address;
    std::string printerName;
};

// Custom word, "_", address, "_", printer name, ".exe", exactly as typed.
std::string copyName(const CopyPieces& pieces);

// The message refusing the first piece that cannot stand in a copy's name, or none. Refused
// in every piece: \ / : * ? " < > | and control characters, which Windows takes in no file name
// (and a ":" would write a hidden stream while the copy looks made). In the custom word and the
// address also "_": the engine cuts the name at its first two. An address that is not empty
// must be a dotted IPv4 address, the only kind of address a file name can carry and the engine
// accepts.
std::optional<std::string> refusedPiece(const CopyPieces& pieces);

// The stop message for a copy that could not be made.
std::string copyFailureText(const std::string& copyName, const std::string& reason);

}  // namespace tools
