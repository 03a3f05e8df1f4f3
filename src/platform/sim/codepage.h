#pragma once
// The simulated system's ANSI code page, through iconv.

#include <optional>
#include <string>

#include "platform/files.h"

namespace sim {

class SimCodepage : public platform::Codepage {
  public:
    explicit SimCodepage(unsigned id);
    unsigned id() const override { return id_; }
    std::string decode(const std::string& bytes) const override;
    std::string encode(const std::string& text) const override;
    // Whether the bytes are text in this code page: they decode and encode back unchanged,
    // and hold no NUL.
    bool isText(const std::string& bytes) const;

  private:
    unsigned id_;
    std::string name_;
};

// The text of a file stored as UTF-16 with a byte-order mark (as INF files may be), or nothing
// for any other file.
std::optional<std::string> utf16FileText(const std::string& bytes);

}  // namespace sim
