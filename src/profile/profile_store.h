#pragma once
// ip.ini in the current folder: making sure it exists, reading its first line, writing it.

#include <string>

#include "platform/files.h"
#include "profile/profile_line.h"

namespace profile {

class ProfileStore {
  public:
    ProfileStore(platform::Files& files, const platform::Codepage& codepage)
        : files_(files), codepage_(codepage) {}

    // Appends the default line when the file-exists test does not see ip.ini (a hidden one
    // included, which then gets the line as a further line); leaves a visible one untouched.
    void ensureExists();

    // The first line, without its line end. A byte-order mark makes the file UTF-8 or UTF-16
    // (Notepad's "UTF-8" and "Unicode"); otherwise it is in the ANSI code page. A missing file
    // raises error 53.
    std::string readFirstLine();

    // The main window's and the package maker's reading: the first line split in the backslash
    // form or the comma form.
    std::vector<std::string> readParts();
    InstallProfile read();

    // Replaces the file with the profile's line in the ANSI code page, as one step. A field
    // the code page cannot hold is refused (error 5, naming the field and the character)
    // before anything is written: it would be stored as "?".
    void write(const InstallProfile& profile);

  private:
    platform::Files& files_;
    const platform::Codepage& codepage_;
};

// Decodes a profile file's bytes: UTF-8 or UTF-16 after a byte-order mark, the code page
// otherwise.
std::string decodeProfileBytes(const std::string& bytes, const platform::Codepage& codepage);

}  // namespace profile
