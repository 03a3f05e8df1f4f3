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
    FatalAppExitW(0, L"Velmora: 內部錯誤");
    ExitProcess(51);
}

}  // namespace platform::win32::ui
