#include "platform/sim/script.h"

namespace sim {

const json::Value& Script::take() {
    if (empty())
        throw ActionsExhausted{};
    return actions_[next_++];
}

}  // namespace sim
