#pragma once
// What every end-to-end driver does to another process's windows: find them,
// and type, click and press keys as a person does (SendInput).

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

std::filesystem::path testProgramFolder();

// Polls `condition` until it holds or `timeout` passes.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
void pause(int milliseconds);

void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);

// A new empty folder under the temporary folder, for one run of a program.
std::filesystem::path freshFolder(const std::string& prefix);
// Ends the program if it still runs, closes its handles, removes its folder.
void endRun(PROCESS_INFORMATION& process, const std::filesystem::path& folder);

// A visible top-level window of the process with this class (and for which
// `wanted` holds); null when none.
HWND topLevelWindow(DWORD processId, const char* className,
                    const std::function<bool(HWND)>& wanted = [](HWND) { return true; });

void sendKey(WORD virtualKey, bool up);
void sendUnicode(wchar_t character);
void pressKeys(std::initializer_list<WORD> held, WORD key);  // e.g. {VK_CONTROL}, 'S'
// Each character as its key when the keyboard has one, else as a Unicode event.
void typeText(std::wstring_view text);
void clickAt(int x, int y);

RECT screenRect(HWND window);
// The colour on the screen at x, y; under Xvfb at 24 bits, exact.
COLORREF screenPixel(int x, int y);
bool closeTo(COLORREF seen, COLORREF wanted, int tolerance);
std::wstring windowTextOf(HWND window);  // WM_GETTEXT, any process

struct BoxSeen {
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> buttons;  // their texts, in creation order
    HWND owner = nullptr;
};
// Waits for a message box of the process (not a file dialog), reads it and
// presses the button `id` (IDOK, IDYES...).
std::optional<BoxSeen> answerMessageBox(DWORD processId, int id,
                                        std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
// A message box of the process now; null when none.
HWND messageBoxOf(DWORD processId);
// The control under the process's keyboard focus.
HWND focusedIn(DWORD threadId);
