#include "editor/header_measure_win32.h"

#include <windows.h>

#include "editing/header_fit.h"
#include "editor/dpi_win32.h"
#include "editor/text_win32.h"

namespace {

// The player's fonts, made once: its title font, and the stock GUI font as
// the player, not aware of dots per inch, gets it.
struct PlayerFonts {
    HFONT title = nullptr;
    HFONT gui = nullptr;
    PlayerFonts() {
        LOGFONTW title96{};
        title96.lfHeight = -15;
        title96.lfWeight = FW_BOLD;
        title96.lfItalic = TRUE;
        title = CreateFontIndirectW(&title96);
        LOGFONTW gui96{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui96, &gui96);
        HDC screen = GetDC(nullptr);
        const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        gui96.lfHeight = MulDiv(gui96.lfHeight, static_cast<int>(DefaultDpi), systemDpi);
        gui = CreateFontIndirectW(&gui96);
    }
    ~PlayerFonts() {
        DeleteObject(title);
        DeleteObject(gui);
    }
    PlayerFonts(const PlayerFonts&) = delete;
    PlayerFonts& operator=(const PlayerFonts&) = delete;
};

// The end of what shows, a few words: enough to find the place, short enough for one line.
std::string lastWords(const std::string& shown) {
    constexpr std::size_t Most = 24;
    std::size_t start = shown.size() > Most ? shown.size() - Most : 0;
    if (start > 0) {
        const std::size_t space = shown.find(' ', start);
        start = space == std::string::npos ? start : space + 1;
    }
    std::string words = start > 0 ? "\x85" : "";  // code page 1252 "…"
    words.append(shown, start);
    return words;
}

std::wstring noteFor(HDC dc, HFONT font, const std::string& text, HeaderText which, const wchar_t* what) {
    const int frame = outerSize({0, 0}, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, DefaultDpi).cx;
    const HeaderLabel label = headerLabel(which, frame);
    SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lines = std::max(1, label.height / std::max(1, static_cast<int>(metrics.tmHeight)));
    const TextWidth measure = [dc](std::string_view run) {
        const std::wstring wide = widenCp1252(run);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::optional<std::string> shown = cutText(text, label.width, lines, measure);
    if (!shown) return {};
    return std::wstring(what) + L" après « " + widenCp1252(lastWords(*shown)) + L" »";
}

}  // namespace

std::wstring headerCutNotes(const QuizSettings& quiz) {
    static const PlayerFonts fonts;
    HDC dc = CreateCompatibleDC(nullptr);
    std::wstring notes;
    const auto add = [&](std::wstring note) {
        if (note.empty()) return;
        if (!notes.empty()) notes += L"\r\n";
        notes += note;
    };
    add(noteFor(dc, fonts.title, quiz.quizName, HeaderText::QuizName, L"Le nom sera coupé"));
    add(noteFor(dc, fonts.gui, quiz.creatorName, HeaderText::Creator, L"L'auteur sera coupé"));
    add(noteFor(dc, fonts.gui, quiz.explanation, HeaderText::Explanation, L"L'explication sera coupée"));
    DeleteDC(dc);
    return notes;
}
