#include "tests/e2e/player_driver_win32.h"

#include <psapi.h>

#include <fstream>
#include <thread>
#include <vector>

#include "common/file_access.h"
#include "common/utf8_path.h"
#include "tests/e2e/desktop_win32.h"
#include "resources/contract_ids.h"

namespace {

struct ChildSearch {
    int controlId;
    bool wantVisible;
    HWND found;
};

BOOL CALLBACK findPanelWithControl(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    if (GetDlgItem(child, search->controlId) != nullptr && (!search->wantVisible || IsWindowVisible(child))) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND panelHolding(HWND main, int controlId) {
    ChildSearch search{controlId, false, nullptr};
    EnumChildWindows(main, findPanelWithControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

PlayerRun::PlayerRun(const std::filesystem::path& exe, const std::optional<std::string>& progress) : exe_(exe) {
    folder_ = freshFolder("zorbel-e2e");
    if (progress) writeFileBytes(progressPath(), *progress);

    // Wide names: any file name works, whatever the ANSI code page.
    const std::wstring program = (testProgramFolder() / exe).wstring();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                   folder_.wstring().c_str(), &startup, &process_);
}

PlayerRun::~PlayerRun() { endRun(process_, folder_); }

bool PlayerRun::waitForMainWindow() {
    if (process_.hProcess == nullptr) return false;
    eventually([&] { return (main_ = topLevelWindow(process_.dwProcessId, MainWindowClass)) != nullptr; },
               std::chrono::milliseconds(15000));
    if (main_ == nullptr) return false;
    WaitForInputIdle(process_.hProcess, 5000);
    return true;
}

std::optional<MessageBoxSeen> PlayerRun::answerMessageBox(int button, std::chrono::milliseconds timeout) {
    const auto cp1252 = [](const std::wstring& wide) {
        std::string bytes(wide.size() * 2 + 1, '\0');
        const int length = WideCharToMultiByte(1252, 0, wide.c_str(), static_cast<int>(wide.size()), bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, nullptr);
        bytes.resize(static_cast<std::size_t>(length));
        return bytes;
    };
    const auto seen = ::answerMessageBox(process_.dwProcessId, button, timeout);
    if (!seen) return std::nullopt;
    MessageBoxSeen box{cp1252(seen->caption), cp1252(seen->text), {}, seen->owner};
    for (const std::wstring& text : seen->buttons) box.buttons.push_back(cp1252(text));
    return box;
}

HWND PlayerRun::header() const { return panelHolding(main_, controlid::QuizNameLabel); }
HWND PlayerRun::singlePanel() const { return panelHolding(main_, controlid::AnswerField); }
HWND PlayerRun::overviewPanel() const { return panelHolding(main_, controlid::OverviewFieldBase + 1); }
HWND PlayerRun::control(HWND panel, int id) const { return GetDlgItem(panel, id); }

HWND PlayerRun::focused() const { return focusedIn(process_.dwThreadId); }

RECT PlayerRun::placeIn(HWND panel, HWND window) const {
    RECT rect = screenRect(window);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string PlayerRun::text(HWND window) const {
    char buffer[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

RECT PlayerRun::screenRect(HWND window) const { return ::screenRect(window); }

COLORREF PlayerRun::fillColour(HWND controlWindow) const {
    const RECT rect = screenRect(controlWindow);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.left + 3, rect.top + 3);
    ReleaseDC(nullptr, screen);
    return colour;
}

void PlayerRun::click(HWND controlWindow) {
    const RECT rect = screenRect(controlWindow);
    clickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void PlayerRun::type(const std::string& cp1252Text) {
    std::wstring wide(cp1252Text.size(), L'\0');
    if (!cp1252Text.empty()) {
        MultiByteToWideChar(1252, 0, cp1252Text.data(), static_cast<int>(cp1252Text.size()), wide.data(),
                            static_cast<int>(wide.size()));
    }
    typeText(wide);
}

void PlayerRun::pressKey(WORD virtualKey) { pressKeys({}, virtualKey); }

void PlayerRun::pressWithShift(WORD virtualKey) { pressKeys({VK_SHIFT}, virtualKey); }

void PlayerRun::wheel(HWND window, int delta) {
    const RECT rect = screenRect(window);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    SendInput(1, &input, sizeof input);
    pause(150);
}

void PlayerRun::answer(const std::string& cp1252Text) { answerIn(control(singlePanel(), controlid::AnswerField), cp1252Text); }

void PlayerRun::replaceText(HWND field, const std::string& cp1252Text) {
    // The first click on a freshly started display can be lost: click until the field has the focus.
    for (int attempt = 0; attempt < 3; ++attempt) {
        click(field);
        if (eventually([&] { return focused() == field; }, std::chrono::milliseconds(1500))) break;
    }
    sendKey(VK_HOME, false);
    sendKey(VK_HOME, true);
    sendKey(VK_SHIFT, false);
    sendKey(VK_END, false);
    sendKey(VK_END, true);
    sendKey(VK_SHIFT, true);
    sendKey(VK_DELETE, false);
    sendKey(VK_DELETE, true);
    type(cp1252Text);
}

void PlayerRun::answerIn(HWND field, const std::string& cp1252Text) {
    replaceText(field, cp1252Text);
    pressKey(VK_RETURN);
}

std::optional<DWORD> PlayerRun::close() {
    if (main_ != nullptr) PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool PlayerRun::running() const {
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<std::size_t> PlayerRun::peakWorkingSet() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (process_.hProcess == nullptr || !GetProcessMemoryInfo(process_.hProcess, &counters, sizeof counters)) {
        return std::nullopt;
    }
    return counters.PeakWorkingSetSize;
}

std::filesystem::path PlayerRun::progressPath() const {
    return folder_ / (exe_.stem().wstring() + L".txt");
}

std::optional<std::string> PlayerRun::progressFile() const {
    const auto bytes = readWholeFile(utf8Of(progressPath()));
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

bool saveScreenshot(HWND window, const std::filesystem::path& path) {
    // The client area only: with no window manager (Xvfb) the frame is not drawn.
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);

        const auto rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
        const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageBytes;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(imageBytes));
        saved = out.good();
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}
