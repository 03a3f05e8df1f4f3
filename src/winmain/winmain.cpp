// The Windows program: COM and the common controls, the real machine, the Win32 forms backend,
// and the program itself, which never returns.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <string>

#include "app/own_address.h"
#include "app/program.h"
#include "forms/runtime.h"
#include "platform/error_texts.h"
#include "platform/win32/machine.h"
#include "platform/win32/system_library.h"
#include "platform/win32/ui/common_controls.h"
#include "platform/win32/ui/wide_text.h"
#include "platform/win32/ui/win32_backend.h"

namespace {

// Only for a failure before the runtime exists; after that its dispatcher shows the stop. It
// ends as every stop on an error does, so a deployment script reads one code for it.
int startFailed(const std::string& text) {
    MessageBoxW(nullptr, platform::win32::ui::widen(text).c_str(), L"Velmora",
                MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    return forms::exit_code::kFailed;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything loads a library or starts a program: the program runs elevated from a
    // folder that others may write to.
    platform::win32::restrictSearchPaths();
    // WMI needs COM on this thread; the windows need version 6 of the common controls, which
    // the manifest selects.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com))
        return startFailed("COM 無法初始化");
    platform::win32::ui::initCommonControls(ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES);
    try {
        platform::win32::Machine machine;
        // The main window's load step asks WMI for the computer's own address; asked now, the
        // answer is ready by then. (The registry command it starts first is left in its place:
        // started this early, its two processes take the processor from the window.)
        machine.queryAhead(app::kAdapterMoniker, app::kAdapterQuery);
        platform::win32::Win32Backend backend(instance);
        app::Program program(machine.services(), backend);
        backend.attach(program.runtime());
        program.run();
    } catch (const platform::Error& error) {
        return startFailed(forms::standardStopText(error));
    } catch (const std::exception& error) {
        return startFailed(platform::errorText(platform::errors::kInternalError) + ": " +
                           error.what());
    }
}
