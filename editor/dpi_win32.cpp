#include "editor/dpi_win32.h"

namespace {

// A function of user32 that this Windows may lack; null then.
template <typename Function>
Function* user32Function(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    // Through void (*)(): the cast GCC accepts between function types.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

unsigned desktopDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : DefaultDpi;
}

}  // namespace

unsigned dpiOfWindow(HWND window) {
    static const auto forWindow = user32Function<decltype(GetDpiForWindow)>("GetDpiForWindow");
    const unsigned dpi = forWindow != nullptr && window != nullptr ? forWindow(window) : 0;
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
