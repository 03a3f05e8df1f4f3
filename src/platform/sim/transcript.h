#pragma once
// The transcript: one JSON object per line, in the order things happened.

#include <functional>
#include <optional>
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
    // Writes any held line first, so everything stays in the order it happened.
    void write(const json::Value& line);

    // The error line of a failed call waits here until the program's error trap takes it
    // back to say how it was handled; a failure the program handles itself never reaches a
    // trap, and its line is written before the next one.
    void hold(json::Value line);
    std::optional<json::Value> takeHeld();

    const std::vector<json::Value>& lines() const { return lines_; }

  private:
    std::ostream* out_;
    void put(const json::Value& line);

    std::vector<json::Value> lines_;
    std::optional<json::Value> held_;
};

}  // namespace sim
