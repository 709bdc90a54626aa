#pragma once
// Drives a quiz executable as a player does: started in a fresh folder of its
// own (its progress file lands there), found by its window class, typed into
// with real input, read back through its controls and the screen.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/desktop_win32.h"

// Rectangles compare and print in test messages.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

struct MessageBoxSeen {  // texts in code page 1252, as the player writes them
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    HWND owner = nullptr;
};

class PlayerRun {
public:
    // `exe` is a file name beside the test program, or a path. `progress`, when given,
    // is written as the progress file before the start.
    explicit PlayerRun(const std::filesystem::path& exe, const std::optional<std::string>& progress = std::nullopt);
    ~PlayerRun();
    PlayerRun(const PlayerRun&) = delete;
    PlayerRun& operator=(const PlayerRun&) = delete;

    // Waits for the main window (answering nothing); false when it never came.
    bool waitForMainWindow();
    // Waits for a message box of the program, reads it and presses `button`.
    std::optional<MessageBoxSeen> answerMessageBox(int button = IDOK,
                                                   std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));

    HWND mainWindow() const { return main_; }
    HWND header() const;
    HWND singlePanel() const;
    HWND overviewPanel() const;
    HWND control(HWND panel, int id) const;
    HWND focused() const;  // the player's control with the keyboard focus
    // Where `window` sits in `panel`'s client area.
    RECT placeIn(HWND panel, HWND window) const;

    std::string text(HWND window) const;
    std::string headerText(int id) const { return text(control(header(), id)); }
    std::string panelText(int id) const { return text(control(singlePanel(), id)); }
    RECT screenRect(HWND window) const;
    COLORREF fillColour(HWND control) const;  // a pixel inside its border, away from the text

    void click(HWND control);
    void type(const std::string& cp1252Text);
    void pressKey(WORD virtualKey);
    void pressWithShift(WORD virtualKey);
    // One wheel event of `delta` with the cursor over `window`.
    void wheel(HWND window, int delta);
    // Click the field, select all its text and type over it.
    void replaceText(HWND field, const std::string& cp1252Text);
    void answer(const std::string& cp1252Text);  // click the field, select all, type, Enter
    void answerIn(HWND field, const std::string& cp1252Text);  // the same in any answer field

    // Closes the main window and waits for the process; its exit code.
    std::optional<DWORD> close();
    bool running() const;
    // The process's peak working set so far, in bytes (psapi).
    std::optional<std::size_t> peakWorkingSet() const;

    std::filesystem::path folder() const { return folder_; }
    std::filesystem::path progressPath() const;
    std::optional<std::string> progressFile() const;

private:
    std::filesystem::path exe_;
    std::filesystem::path folder_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

// Saves what the screen shows of `window`'s client area as a 24-bit BMP file.
bool saveScreenshot(HWND window, const std::filesystem::path& path);
