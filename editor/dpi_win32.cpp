#include "editor/dpi_win32.h"

namespace {

// A function of a system library that this Windows may lack; null then.
template <typename Function>
Function* systemFunction(HMODULE library, const char* name) {
    const FARPROC found = library != nullptr ? GetProcAddress(library, name) : nullptr;
    // Through void (*)(): the cast GCC accepts between function types.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

template <typename Function>
Function* user32Function(const char* name) {
    return systemFunction<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// shcore.dll's GetDpiForMonitor (Windows 8.1), with its enum as an int: MinGW
// declares it only for newer targets.
using DpiForMonitor = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
constexpr int EffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

unsigned desktopDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : DefaultDpi;
}

}  // namespace

unsigned dpiOfMonitorOf(HWND window) {
    // Loaded once and kept: the process is per-monitor aware for its whole life.
    static const auto forMonitor = systemFunction<DpiForMonitor>(
        LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
    if (forMonitor == nullptr || window == nullptr) return 0;
    UINT x = 0, y = 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    return SUCCEEDED(forMonitor(monitor, EffectiveDpi, &x, &y)) ? x : 0;
}

// Windows 10 from 1607 tells a window's own; 8.1 and 10 before it make the
// process per-monitor aware without GetDpiForWindow, so the monitor is asked.
unsigned dpiOfWindow(HWND window) {
    static const auto forWindow = user32Function<decltype(GetDpiForWindow)>("GetDpiForWindow");
    unsigned dpi = forWindow != nullptr && window != nullptr ? forWindow(window) : 0;
    if (dpi == 0) dpi = dpiOfMonitorOf(window);
    return dpi != 0 ? dpi : desktopDpi();
}

HFONT createMessageFont(unsigned dpi) {
    static const auto forDpi = user32Function<decltype(SystemParametersInfoForDpi)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    // Older systems give the font for the desktop's dots per inch.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(desktopDpi()));
    return CreateFontIndirectW(&font);
}

SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, unsigned dpi) {
    static const auto forDpi = user32Function<decltype(AdjustWindowRectExForDpi)>("AdjustWindowRectExForDpi");
    RECT outer{0, 0, client.cx, client.cy};
    if (forDpi == nullptr || !forDpi(&outer, style, TRUE, exStyle, dpi)) {
        AdjustWindowRectEx(&outer, style, TRUE, exStyle);
    }
    return {outer.right - outer.left, outer.bottom - outer.top};
}
