#include "platform/win32/ui/dpi.h"

#include <type_traits>

#include "platform/win32/system_library.h"

namespace platform::win32::ui::dpi {

namespace {

// MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI.
constexpr int kEffectiveDpi = 0;

template <class F>
F user32(const char* name) {
    static HMODULE module = GetModuleHandleW(L"user32.dll");
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct Api {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    using InfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    using EnableNcScalingFn = BOOL(WINAPI*)(HWND);
    using SetAwarenessFn = BOOL(WINAPI*)(HANDLE);
    using GetThreadAwarenessFn = HANDLE(WINAPI*)();
    using AwarenessOfFn = int(WINAPI*)(HANDLE);
    using MetricForDpiFn = int(WINAPI*)(int, UINT);
    using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

    GetDpiForWindowFn dpiForWindow = user32<GetDpiForWindowFn>("GetDpiForWindow");
    AdjustForDpiFn adjustForDpi = user32<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    InfoForDpiFn infoForDpi = user32<InfoForDpiFn>("SystemParametersInfoForDpi");
    EnableNcScalingFn enableNcScaling = user32<EnableNcScalingFn>("EnableNonClientDpiScaling");
    SetAwarenessFn setProcessAwareness = user32<SetAwarenessFn>("SetProcessDpiAwarenessContext");
    GetThreadAwarenessFn threadAwareness =
        user32<GetThreadAwarenessFn>("GetThreadDpiAwarenessContext");
    AwarenessOfFn awarenessOf = user32<AwarenessOfFn>("GetAwarenessFromDpiAwarenessContext");
    MetricForDpiFn metricForDpi = user32<MetricForDpiFn>("GetSystemMetricsForDpi");
    DpiForMonitorFn dpiForMonitor = nullptr;

    Api() {
        // shcore.dll is absent before Windows 8.1; importing it would stop the program there.
        dpiForMonitor = systemFunction<std::remove_pointer_t<DpiForMonitorFn>>(L"shcore.dll",
                                                                               "GetDpiForMonitor");
    }
};

const Api& api() {
    static const Api instance;
    return instance;
}

// DPI_AWARENESS values.
constexpr int kUnaware = 0;
constexpr int kPerMonitor = 2;

}  // namespace

void ensureAwareness() {
    const Api& a = api();
    if (a.threadAwareness != nullptr && a.awarenessOf != nullptr &&
        a.awarenessOf(a.threadAwareness()) != kUnaware) {
        return;
    }
    if (a.setProcessAwareness != nullptr) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then _PER_MONITOR_AWARE.
        if (a.setProcessAwareness(reinterpret_cast<HANDLE>(-4)))
            return;
        if (a.setProcessAwareness(reinterpret_cast<HANDLE>(-3)))
            return;
    }
    SetProcessDPIAware();
}

UINT system() {
    HDC screen = GetDC(nullptr);
    int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : USER_DEFAULT_SCREEN_DPI;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return value > 0 ? static_cast<UINT>(value) : USER_DEFAULT_SCREEN_DPI;
}

UINT ofWindow(HWND window) {
    if (api().dpiForWindow != nullptr) {
        if (UINT value = api().dpiForWindow(window))
            return value;
    }
    return system();
}

UINT ofMonitor(HMONITOR monitor) {
    UINT x = 0;
    UINT y = 0;
    if (api().dpiForMonitor != nullptr && monitor != nullptr &&
        SUCCEEDED(api().dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x != 0) {
        // Only a per-monitor aware process is told the real value; the others see the system's.
        return x;
    }
    return system();
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    if (api().adjustForDpi != nullptr && api().adjustForDpi(&rect, style, menu, exStyle, dpi)) {
        return;
    }
    AdjustWindowRectEx(&rect, style, menu, exStyle);
}

int metric(int index, UINT dpi) {
    if (api().metricForDpi != nullptr)
        return api().metricForDpi(index, dpi);
    return GetSystemMetrics(index);
}

LOGFONTW messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    bool ok = api().infoForDpi != nullptr &&
              api().infoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    if (!ok)
        ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (!ok) {
        LOGFONTW fallback{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
        return fallback;
    }
    return metrics.lfMessageFont;
}

void enableNonClientScaling(HWND window) {
    const Api& a = api();
    if (a.enableNcScaling == nullptr || a.threadAwareness == nullptr || a.awarenessOf == nullptr) {
        return;
    }
    if (a.awarenessOf(a.threadAwareness()) == kPerMonitor)
        a.enableNcScaling(window);
}

}  // namespace platform::win32::ui::dpi
