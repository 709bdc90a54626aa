#include <windows.h>
#include <cstdio>
// Prints the widths of code page 1252's characters 0x20 to 0xFF in the
// player's two header fonts, as editing/player_font_widths.cpp keeps them:
//   i686-w64-mingw32-g++-posix -static scripts/player_font_widths_win32.cpp -lgdi32 -o widths.exe
//   wine widths.exe
static void dump(HDC dc, HFONT font, const char* name) {
    SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    wchar_t face[64] = {};
    GetTextFaceW(dc, 64, face);
    std::printf("// %s: face %ls, height %ld\n", name, face, tm.tmHeight);
    for (int b = 0x20; b <= 0xFF; ++b) {
        char c = static_cast<char>(b);
        wchar_t w = 0;
        MultiByteToWideChar(1252, 0, &c, 1, &w, 1);
        SIZE s{};
        GetTextExtentPoint32W(dc, &w, 1, &s);
        std::printf("%ld,%s", s.cx, (b % 16 == 15) ? "\n" : " ");
    }
    // and a check that widths add up (no kerning)
    const wchar_t* sample = L"Les grands monuments de France";
    SIZE s{};
    GetTextExtentPoint32W(dc, sample, lstrlenW(sample), &s);
    std::printf("// sample width %ld\n", s.cx);
}
int main() {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW title{};
    title.lfHeight = -15; title.lfWeight = FW_BOLD; title.lfItalic = TRUE;
    dump(dc, CreateFontIndirectW(&title), "title");
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    dump(dc, CreateFontIndirectW(&gui), "gui");
    return 0;
}
