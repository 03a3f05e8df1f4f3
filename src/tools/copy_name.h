#pragma once
// The name of an installer copy, and what the copy window lets into it. The engine reads such
// a name back with profile::namePartsOf; for every set of pieces accepted here that reading
// gives the same address and printer name.

#include <optional>
#include <string>

#include "platform/files.h"

namespace tools {

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
// address also "_": the engine cuts the name at its first two. A custom word must be there, and
// a printer name, when given, must not be blank and must be one the package maker would store
// (no comma, no trailing backslash, nothing the ANSI code page cannot hold). An address that is
// not empty must be a dotted IPv4 address, the only kind of address a file name can carry and
// the engine accepts.
std::optional<std::string> refusedPiece(const CopyPieces& pieces,
                                        const platform::Codepage& codepage);

// The stop message for a copy of `source` (the running installer) that could not be made.
std::string copyFailureText(const std::string& source, const std::string& copyName,
                            const std::string& reason);

}  // namespace tools
