// Zorbel Atelier on screens of 144 and 192 dots per inch (Wine's LogPixels),
// and told its window moved to a monitor of other dots per inch: its fonts,
// thumbnails, picture and layout follow, and no label or button is cut.
// Wine reads LogPixels as each program starts. The windows need a screen of
// at least 2400 x 1500 pixels; ./test runs these tests on one. And on a school
// laptop's screen of 1366 x 768, on which ./test runs the last test.

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "editing/comment_modes.h"
#include "editor/controls_win32.h"
#include "editor/editor_ids.h"
#include "editor/editor_layout.h"
#include "resources/contract_ids.h"
#include "tests/e2e/atelier_driver_win32.h"
#include "tests/e2e/player_driver_win32.h"

namespace {

std::wstring wideOf(std::string_view utf8) {
    std::wstring wide(utf8.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(std::max(length, 0)));
    return wide;
}

// The desktop's dots per inch for the programs started from now on (Wine
// reads LogPixels as each program starts); the value before is put back.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, nullptr);
        DWORD size = sizeof previous_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&previous_), &size) ==
               ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~ScreenDpi() {
        if (had_) {
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                           sizeof previous_);
        } else {
            RegDeleteValueW(key_, L"LogPixels");
        }
        RegCloseKey(key_);
    }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

private:
    HKEY key_ = nullptr;
    DWORD previous_ = 0;
    bool had_ = false;
};

bool screenHolds(int width, int height) {
    return GetSystemMetrics(SM_CXSCREEN) >= width && GetSystemMetrics(SM_CYSCREEN) >= height;
}

int scaledBy(unsigned dpi, int units) { return MulDiv(units, static_cast<int>(dpi), 96); }

// The system's message font at `dpi`, as the editor takes it.
HFONT messageFontAt(unsigned dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The height `text` takes wrapped at `width` pixels, as a plain label wraps it.
int wrappedHeight(HFONT font, const std::wstring& text, int width) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT box{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteDC(dc);
    return box.bottom;
}

SIZE textSize(HFONT font, const std::wstring& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT box{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteDC(dc);
    return {box.right, box.bottom};
}

std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) children.push_back(child);
    }
    return children;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT clientPlace(HWND parent, HWND child) {
    RECT rect = screenRect(child);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The room a control keeps around its text: a push button's edges and
// focus frame, a check box's box, a drop-down list's arrow.
SIZE paddingOf(HWND control, unsigned dpi) {
    const std::wstring kind = classOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (kind == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) return {scaledBy(dpi, 20), 0};
    if (kind == L"Button") return {scaledBy(dpi, 8), scaledBy(dpi, 4)};
    if (kind == WC_COMBOBOXW) return {scaledBy(dpi, 24), scaledBy(dpi, 2)};
    return {0, 0};
}

// Every label, button and drop-down item of the editor whose text does not
// fit in its control, with the pixels it needs and has.
std::vector<std::wstring> cutTexts(HWND window, unsigned dpi) {
    HFONT font = messageFontAt(dpi);
    std::vector<std::wstring> cut;
    const auto check = [&](HWND control, const std::wstring& text) {
        RECT rect{};
        GetClientRect(control, &rect);
        // A label that wraps needs only the height of its lines.
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (classOf(control) == L"Static" && (style & SS_TYPEMASK) == SS_LEFT) {
            const int height = wrappedHeight(font, text, rect.right);
            if (height > rect.bottom) {
                cut.push_back(text + L": " + std::to_wstring(height) + L" high in " + std::to_wstring(rect.bottom));
            }
            return;
        }
        const SIZE needed = textSize(font, text);
        const SIZE padding = paddingOf(control, dpi);
        if (needed.cx + padding.cx > rect.right || needed.cy + padding.cy > rect.bottom) {
            cut.push_back(text + L": " + std::to_wstring(needed.cx + padding.cx) + L"x" +
                          std::to_wstring(needed.cy + padding.cy) + L" in " + std::to_wstring(rect.right) + L"x" +
                          std::to_wstring(rect.bottom));
        }
    };
    for (HWND child : childrenOf(window)) {
        const std::wstring kind = classOf(child);
        if (GetDlgCtrlID(child) == atelierid::CommentMode) {
            for (const CommentModeText& mode : CommentModeTexts) check(child, wideOf(mode.name));
        } else if ((kind == L"Static" || kind == L"Button") && !windowTextOf(child).empty()) {
            check(child, windowTextOf(child));
        }
    }
    DeleteObject(font);
    return cut;
}

// Controls that stand over one another or outside the client area.
std::vector<std::wstring> misplacedControls(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<HWND> children = childrenOf(window);
    std::vector<std::wstring> misplaced;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const RECT a = clientPlace(window, children[i]);
        const std::wstring name = L"control " + std::to_wstring(GetDlgCtrlID(children[i]));
        if (a.left < 0 || a.top < 0 || a.right > client.right || a.bottom > client.bottom) {
            misplaced.push_back(name + L" outside");
        }
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            RECT both{};
            const RECT b = clientPlace(window, children[j]);
            if (IntersectRect(&both, &a, &b)) {
                misplaced.push_back(name + L" over control " + std::to_wstring(GetDlgCtrlID(children[j])));
            }
        }
    }
    return misplaced;
}

// The picture fills the frame's width at this scale: points near its left
// and right edges show the picture, not the frame's background.
bool pictureFillsItsFrame(AtelierRun& run) {
    const RECT frame = screenRect(run.control(atelierid::PicturePreview));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    for (const int x : {width / 10, width * 9 / 10}) {
        for (const int y : {height * 3 / 10, height * 7 / 10}) {
            if (closeTo(screenPixel(frame.left + x, frame.top + y), background, 2)) return false;
        }
    }
    return true;
}

int comboFieldHeight(AtelierRun& run) {
    return static_cast<int>(SendMessageW(run.control(atelierid::CommentMode), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
}

int widthOf(AtelierRun& run, int id) {
    const RECT rect = screenRect(run.control(id));
    return rect.right - rect.left;
}

void saveForPeople(HWND window, const char* name) {
    if (const char* folder = std::getenv("ZORBEL_SCREENSHOT_FOLDER")) {
        EXPECT_TRUE(saveScreenshot(window, std::filesystem::path(folder) / name)) << name;
    }
}

// Nothing cut and nothing over another control, at the size it opens at and at its smallest.
void expectALayoutThatHolds(AtelierRun& run, unsigned dpi) {
    for (const std::wstring& text : cutTexts(run.window(), dpi)) ADD_FAILURE() << "cut: " << text;
    for (const std::wstring& place : misplacedControls(run.window())) ADD_FAILURE() << place;
}

TEST(AtelierAtHighDpi, TheLayoutHoldsAt96And144And192DotsPerInch) {
    if (!screenHolds(2400, 1500)) GTEST_SKIP() << "needs a screen of 2400 x 1500 pixels";
    for (const unsigned dpi : {96u, 144u, 192u}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        ScreenDpi screen(dpi);
        AtelierRun run;
        run.copyIn("demo.exe");
        ASSERT_TRUE(run.start(L"demo.exe"));
        RECT client{};
        GetClientRect(run.window(), &client);
        ASSERT_EQ(client.right, scaledBy(dpi, EditorStartClient.width)) << "opened at the screen's scale";
        run.clickQuestion(0);
        run.typeInto(atelierid::TryField, L"soleill");
        ASSERT_TRUE(eventually([&] { return pictureFillsItsFrame(run); })) << "the picture drawn at the screen's scale";
        EXPECT_GE(run.questionRowHeight(), scaledBy(dpi, ThumbnailHeight)) << "thumbnails at the screen's scale";
        EXPECT_TRUE(eventually([&] { return run.thumbnailShown(0) && run.thumbnailShown(run.lastVisibleQuestion()); }))
            << "every thumbnail the list shows is drawn";
        EXPECT_GE(comboFieldHeight(run), textSize(messageFontAt(dpi), L"Ég").cy) << "the font at the screen's scale";
        expectALayoutThatHolds(run, dpi);
        const std::string name = "atelier_" + std::to_string(dpi) + "dpi.bmp";
        saveForPeople(run.window(), name.c_str());

        SetWindowPos(run.window(), nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);  // held at its smallest
        GetClientRect(run.window(), &client);
        EXPECT_LE(client.right, scaledBy(dpi, EditorMinimumClient.width + 1)) << "made smaller";
        expectALayoutThatHolds(run, dpi);
    }
}

TEST(AtelierAtHighDpi, ItsWindowMovedToAMonitorOfOtherDotsPerInchIsDrawnAgainAtItsScale) {
    if (!screenHolds(2400, 1500)) GTEST_SKIP() << "needs a screen of 2400 x 1500 pixels";
    ScreenDpi screen(96);
    AtelierRun run;
    run.copyIn("demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe"));
    run.clickQuestion(0);
    const int row = run.questionRowHeight();
    const int combo = comboFieldHeight(run);
    const int field = widthOf(run, atelierid::TryField);
    ASSERT_GT(row, 0);

    run.moveToMonitorOfDpi(96, 192);
    EXPECT_TRUE(eventually([&] { return widthOf(run, atelierid::TryField) == 2 * field; })) << "laid out again";
    EXPECT_GE(run.questionRowHeight(), scaledBy(192, ThumbnailHeight));
    EXPECT_GE(comboFieldHeight(run), combo * 3 / 2) << "every control in the larger font";
    EXPECT_TRUE(eventually([&] { return pictureFillsItsFrame(run); }));
    expectALayoutThatHolds(run, 192);

    run.moveToMonitorOfDpi(192, 96);
    EXPECT_TRUE(eventually([&] { return widthOf(run, atelierid::TryField) == field; }));
    EXPECT_EQ(run.questionRowHeight(), row);
    EXPECT_EQ(comboFieldHeight(run), combo);
}

TEST(AtelierOnASmallScreen, FitsA1366By768ScreenWithItsTaskbarAndShowsWhatThePlayerWillCut) {
    if (!screenHolds(1366, 768) || screenHolds(1367, 769)) GTEST_SKIP() << "needs a screen of 1366 x 768 pixels";
    constexpr int Taskbar = 48;  // Windows 11's at 100 % (Windows 10's: 40)
    ScreenDpi screen(96);
    AtelierRun run;
    run.copyIn("demo.exe");
    ASSERT_TRUE(run.start(L"demo.exe"));
    const RECT outer = screenRect(run.window());
    EXPECT_LE(outer.bottom - outer.top, 768 - Taskbar) << "opens within the screen less its taskbar";
    EXPECT_LE(outer.right - outer.left, 1366);
    expectALayoutThatHolds(run, 96);
    EXPECT_EQ(run.text(editorid::HeaderNotes), L"") << "the demo's texts show whole in the player";

    // The player's header cuts a long name and explanation: said in red under them.
    run.typeInto(atelierid::QuizName, L"Les animaux de la ferme et de la forêt, pour la classe de CE1");
    const std::wstring explanation = L"Regarde bien chaque image, puis tape sa réponse sans accent et appuie sur "
                                     L"Entrée. N'oublie pas de sauver avec F2 !";
    run.typeInto(atelierid::Explanation, explanation);
    EXPECT_TRUE(eventually([&] { return run.text(atelierid::Explanation) == explanation; }))
        << testing::PrintToString(run.text(atelierid::Explanation));
    ASSERT_TRUE(eventually([&] { return run.text(editorid::HeaderNotes).find(L"L'explication sera coupée") !=
                                        std::wstring::npos; }))
        << run.text(editorid::HeaderNotes);
    EXPECT_NE(run.text(editorid::HeaderNotes).find(L"Le nom sera coupé après « "), std::wstring::npos);
    expectALayoutThatHolds(run, 96);
    saveForPeople(run.window(), "atelier_1366x768.bmp");

    // The save check, as the author sees it.
    run.typeInto(atelierid::Creator, L"");
    run.press({VK_CONTROL}, 'S');
    HWND check = nullptr;
    ASSERT_TRUE(eventually([&] { return (check = messageBoxOf(run.processId())) != nullptr; }));
    pause(300);
    saveForPeople(check, "save_check.bmp");
    const auto seen = run.answerBox(IDCANCEL);
    ASSERT_TRUE(seen.has_value());
    EXPECT_NE(seen->text.find(L"pas d'auteur"), std::wstring::npos) << seen->text;

    // A place remembered from a larger screen is brought back within this one.
    SetWindowPos(run.window(), nullptr, 0, 0, 1366, 1000, SWP_NOZORDER);
    PostMessageW(run.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.answerBox(IDNO).has_value());
    ASSERT_TRUE(run.waitForExit());
    AtelierRun again;
    again.shareAppDataOf(run);
    ASSERT_TRUE(again.start());
    const RECT restored = screenRect(again.window());
    EXPECT_LE(restored.bottom, 768) << "within the screen";
    EXPECT_GE(restored.top, 0);
}

}  // namespace
