// The Atelier's dots per inch where GetDpiForWindow is missing (Windows 8.1,
// 10 before 1607): the monitor's, from shcore.dll. Wine has both, so the
// fallback is checked against the function it stands in for.

#include <gtest/gtest.h>

#include "editor/dpi_win32.h"

TEST(MonitorDpi, TheFallbackGivesWhatGetDpiForWindowGives) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const unsigned monitor = dpiOfMonitorOf(window);
    EXPECT_GE(monitor, 96u);
    EXPECT_EQ(monitor, GetDpiForWindow(window));
    EXPECT_EQ(dpiOfMonitorOf(nullptr), 0u);
    DestroyWindow(window);
}
