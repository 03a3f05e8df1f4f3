#include "forms/tell_failures.h"

namespace forms {

void tellFailures(Runtime& runtime, const Outcome& outcome, const std::string& note) {
    if (!outcome.failed())
        return;
    runtime.trap([&] {
        runtime.services().messageBoxes.show(failureSummary(outcome.failures()) + note,
                                             kFailureTitle, platform::Icon::Stop,
                                             platform::Buttons::Ok);
    });
}

}  // namespace forms
