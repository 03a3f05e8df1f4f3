#pragma once
// The simulated system's ANSI code page, through iconv.

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

}  // namespace sim
