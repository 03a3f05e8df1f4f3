#pragma once
// The message boxes of a run nobody watches: none shows (the install log keeps each one, as it
// keeps every message). A question is answered No, which changes nothing; any other box OK.

#include "platform/system.h"

namespace app {

class UnattendedBoxes final : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string&, const std::string&, platform::Icon,
                          platform::Buttons buttons) override {
        return buttons == platform::Buttons::YesNo ? platform::Answer::No : platform::Answer::Ok;
    }
};

}  // namespace app
