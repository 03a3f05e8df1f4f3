#include "platform/win32/paint_wait.h"

#include <algorithm>
#include <optional>

#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

// Paint and sent messages only. A sent message is answered inside PeekMessage whatever the
// filter, and its sender (the system, another program, a screen reader) waits for it. Posted
// messages are not taken: they include the program's own notices (activation) and commands and
// clicks posted to it, and input and timers come the same way, any of which would start a
// reaction inside the one that is waiting.
constexpr DWORD kWakeOn = QS_PAINT | QS_SENDMESSAGE;
constexpr UINT kTake = PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE;

DWORD millisecondsLeft(WaitDeadline deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    // INFINITE would never end.
    return static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
}

// Dispatches what is waiting, up to a WM_QUIT, whose exit code is kept.
void dispatchWaiting(std::optional<WPARAM>& quit, WaitDeadline deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, kTake)) {
        if (msg.message == WM_QUIT) {
            quit = msg.wParam;
            return;
        }
        DispatchMessageW(&msg);
        // A window whose painting never validates it would hold the wait forever.
        if (millisecondsLeft(deadline) == 0)
            return;
    }
}

}  // namespace

bool waitPainting(HANDLE handle, WaitDeadline deadline, const std::string& call) {
    // WM_QUIT is not filtered: PeekMessage may hand it over whatever kTake asks for. The
    // program's loop ends the program on it, so it is posted again once the wait is over; until
    // then no more messages are taken, as each look would take it again.
    std::optional<WPARAM> quit;
    struct PostQuitAgain {
        std::optional<WPARAM>& code;
        ~PostQuitAgain() {
            if (code)
                PostQuitMessage(static_cast<int>(*code));
        }
    } postQuitAgain{quit};

    for (;;) {
        const DWORD left = millisecondsLeft(deadline);
        const DWORD woken =
            quit ? WaitForSingleObject(handle, left)
                 : MsgWaitForMultipleObjectsEx(1, &handle, left, kWakeOn, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken == WAIT_TIMEOUT)
            return false;
        if (quit || woken != WAIT_OBJECT_0 + 1)
            throw lastError(call);
        dispatchWaiting(quit, deadline);
        // A message that was waiting at the deadline: the handle gets one last look.
        if (left == 0)
            return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    }
}

}  // namespace platform::win32
