#pragma once
// The scenario's actions, taken one at a time by the event loop and by message boxes.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/sim/json.h"

namespace sim {

// The scenario cannot be carried out: an unknown control, an action on a hidden or disabled
// one, a box open when the action is no answer, an answer when none is open.
struct ScenarioError {
    std::string message;
};

// The actions ran out while the program was still running.
struct ActionsExhausted {};

class Script {
  public:
    explicit Script(std::vector<json::Value> actions) : actions_(std::move(actions)) {}
    bool empty() const { return next_ >= actions_.size(); }
    // The next action; throws ActionsExhausted when none is left.
    const json::Value& take();
    std::size_t position() const { return next_; }

  private:
    std::vector<json::Value> actions_;
    std::size_t next_ = 0;
};

}  // namespace sim
