#include "platform/win32/ui/proc_guard.h"

#include "forms/runtime.h"
#include "platform/error_texts.h"

namespace platform::win32::ui {

void internalFault(forms::Runtime* runtime) noexcept {
    if (runtime != nullptr) {
        try {
            runtime->stop(platform::errorFor(platform::errors::kInternalError));
        } catch (...) {
            // The stop message itself failed; fall through to the plain end.
        }
    }
    // The stop message itself failed: a plain box, then the code every stop on an error ends with.
    MessageBoxW(nullptr, L"Velmora: 內部錯誤", L"Velmora", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    ExitProcess(forms::exit_code::kFailed);
}

}  // namespace platform::win32::ui
