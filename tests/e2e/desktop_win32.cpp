#include "tests/e2e/desktop_win32.h"

#include <cstdlib>

#include <fstream>
#include <thread>

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const std::function<bool(HWND)>& wanted;
    HWND found;
};

BOOL CALLBACK findTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::string(className) == search->className && IsWindowVisible(window) &&
        search->wanted(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND topLevelWindow(DWORD processId, const char* className, const std::function<bool(HWND)>& wanted) {
    WindowSearch search{processId, className, wanted, nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void sendKey(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void sendUnicode(wchar_t character) {
    INPUT inputs[2] = {};
    for (int i = 0; i < 2; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wScan = character;
        inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, inputs, sizeof inputs[0]);
}

void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::filesystem::path testProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        pause(20);
    }
    return true;
}

void writeFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}


void pressKeys(std::initializer_list<WORD> held, WORD key) {
    for (const WORD modifier : held) sendKey(modifier, false);
    sendKey(key, false);
    sendKey(key, true);
    for (auto modifier = std::rbegin(held); modifier != std::rend(held); ++modifier) sendKey(*modifier, true);
    pause(200);
}

void typeText(std::wstring_view text) {
    for (const wchar_t c : text) {
        const SHORT key = c < 0x80 ? VkKeyScanW(c) : -1;
        if (key != -1 && (key & 0x0600) == 0) {
            const bool shift = (key & 0x0100) != 0;
            if (shift) sendKey(VK_SHIFT, false);
            sendKey(LOBYTE(key), false);
            sendKey(LOBYTE(key), true);
            if (shift) sendKey(VK_SHIFT, true);
        } else {
            sendUnicode(c);
        }
    }
    pause(150);
}

void clickAt(int x, int y) {
    SetCursorPos(x, y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof inputs[0]);
    pause(150);
}

RECT screenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

HWND focusedIn(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(threadId, &info);
    return info.hwndFocus;
}

std::filesystem::path freshFolder(const std::string& prefix) {
    static int runs = 0;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        (prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void endRun(PROCESS_INFORMATION& process, const std::filesystem::path& folder) {
    if (process.hProcess != nullptr && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    if (process.hProcess != nullptr) CloseHandle(process.hProcess);
    if (process.hThread != nullptr) CloseHandle(process.hThread);
    process = {};
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

namespace {

BOOL CALLBACK collectButton(HWND child, LPARAM parameter) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (std::wstring(className) == L"Button") reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(child);
    return TRUE;
}

// A message box: its text in static 0xFFFF, and no file-name box (1148, 1152) as the file dialogs have.
bool isMessageBox(HWND window) {
    return GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, 1148) == nullptr &&
           GetDlgItem(window, 1152) == nullptr;
}

}  // namespace

std::wstring windowTextOf(HWND window) {
    wchar_t buffer[2048] = {};
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

HWND messageBoxOf(DWORD processId) { return topLevelWindow(processId, "#32770", isMessageBox); }

std::optional<BoxSeen> answerMessageBox(DWORD processId, int id, std::chrono::milliseconds timeout) {
    HWND box = nullptr;
    if (!eventually([&] { return (box = messageBoxOf(processId)) != nullptr; }, timeout)) return std::nullopt;
    BoxSeen seen{windowTextOf(box), windowTextOf(GetDlgItem(box, 0xFFFF)), {}, GetWindow(box, GW_OWNER)};
    std::vector<HWND> buttons;
    EnumChildWindows(box, collectButton, reinterpret_cast<LPARAM>(&buttons));
    for (HWND button : buttons) seen.buttons.push_back(windowTextOf(button));
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(id), 0);
    eventually([&] { return !IsWindow(box); });
    pause(200);
    return seen;
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool closeTo(COLORREF seen, COLORREF wanted, int tolerance) {
    return std::abs(GetRValue(seen) - GetRValue(wanted)) <= tolerance &&
           std::abs(GetGValue(seen) - GetGValue(wanted)) <= tolerance &&
           std::abs(GetBValue(seen) - GetBValue(wanted)) <= tolerance;
}
