#pragma once
// The transcript: one JSON object per line, in the order things happened.

#include <functional>
#include <ostream>
#include <vector>

#include "platform/sim/json.h"

namespace sim {

class Transcript {
  public:
    // Lines go to out as they are written (nullptr keeps them in memory only).
    explicit Transcript(std::ostream* out = nullptr) : out_(out) {}

    // A new line with its op; fields follow through the returned object.
    static json::Value line(const char* op);
    void write(const json::Value& line);

    const std::vector<json::Value>& lines() const { return lines_; }

  private:
    std::ostream* out_;
    std::vector<json::Value> lines_;
};

}  // namespace sim
