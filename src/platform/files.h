#pragma once
// Files in the current folder (the package folder), and the ANSI code page that text files and
// the INI reader use. File names are UTF-8 and relative to the current folder.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A file's size and last-write time: whether a program wrote the file since it was looked at.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;  // in the system's own ticks; only equality means anything
    bool operator==(const FileStamp&) const = default;
};

class Files {
  public:
    virtual ~Files() = default;
    // Whether a file of that name exists; files with the hidden or system attribute are not
    // seen, as a plain folder listing leaves them out: only what the user sees counts.
    virtual bool exists(const std::string& name) = 0;
    // All bytes of a file. A missing file raises error 53.
    virtual std::string readAll(const std::string& name) = 0;
    // Replaces the file's content as one step: a temporary file in the same folder, then a
    // replace, so a failure never leaves it empty or half-written.
    virtual void writeAtomically(const std::string& name, const std::string& bytes) = 0;
    // Appends to the file, creating it when it is missing.
    virtual void append(const std::string& name, const std::string& bytes) = 0;
    // Copies a file; an existing target is replaced.
    virtual void copy(const std::string& from, const std::string& to) = 0;
    // The file's stamp, or nothing when it is missing.
    virtual std::optional<FileStamp> stamp(const std::string& name) = 0;
    // Deletes a file; a missing one raises error 53.
    virtual void remove(const std::string& name) = 0;
    // Names of the files in the current folder matching a pattern such as "*.inf", in name
    // order.
    virtual std::vector<std::string> list(const std::string& pattern) = 0;
};

// The system code page of the PCs the program is made for: Traditional Chinese (Big5).
inline constexpr unsigned kTraditionalChineseCodepage = 950;

class Codepage {
  public:
    virtual ~Codepage() = default;
    virtual unsigned id() const = 0;  // kTraditionalChineseCodepage on the PCs it is made for
    // Bytes in the code page to UTF-8.
    virtual std::string decode(const std::string& bytes) const = 0;
    // UTF-8 to bytes in the code page; a character the page cannot hold becomes "?".
    virtual std::string encode(const std::string& text) const = 0;
    // The first character of the text that the code page cannot hold, or the empty text when
    // it holds them all: a file written in the page would keep "?" or a look-alike instead.
    std::string firstUnstorable(const std::string& text) const;
};

// The INI reader (GetPrivateProfileStringA with a NULL key): the section names of a file, or
// the key names of one section, as written in the file (quotes kept), decoded from the ANSI code
// page. The whole list, however long; a missing file or section gives none.
class ProfileApi {
  public:
    virtual ~ProfileApi() = default;
    virtual std::vector<std::string> names(const std::string& file,
                                           const std::optional<std::string>& section) = 0;
};

// The names in a buffer the reader filled: each ended by a NUL, an empty name (a second NUL)
// after the last; a buffer without that end is taken up to its last NUL.
std::vector<std::string> splitNameList(std::string_view buffer);

}  // namespace platform
