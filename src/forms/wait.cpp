#include "forms/wait.h"

namespace forms {

void WaitSeconds(platform::Clock& clock, platform::MessageBoxes& boxes, float seconds) {
    if (seconds == 0.0f)
        return;
    constexpr float kShortest = 0.01f;
    if (seconds < kShortest) {
        boxes.show("延遲時間無法小於 0.01 秒", "參數錯誤", platform::Icon::None,
                   platform::Buttons::Ok);
        return;
    }
    clock.sleep(seconds);
}

}  // namespace forms
