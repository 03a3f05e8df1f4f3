#pragma once
// Files in the current folder, the ANSI code page, and the INI reader, over Win32.

#include "platform/files.h"

namespace platform::win32 {

class Win32Files final : public platform::Files {
  public:
    bool exists(const std::string& name) override;
    std::string readAll(const std::string& name) override;
    void writeAtomically(const std::string& name, const std::string& bytes) override;
    void append(const std::string& name, const std::string& bytes) override;
    void copy(const std::string& from, const std::string& to) override;
    std::optional<platform::FileStamp> stamp(const std::string& name) override;
    void remove(const std::string& name) override;
    std::vector<std::string> list(const std::string& pattern) override;
};

class Win32Codepage final : public platform::Codepage {
  public:
    unsigned id() const override;
    std::string decode(const std::string& bytes) const override;
    std::string encode(const std::string& text) const override;
};

class Win32ProfileApi final : public platform::ProfileApi {
  public:
    std::vector<std::string> names(const std::string& file,
                                   const std::optional<std::string>& section) override;
};

}  // namespace platform::win32
