#include "editor/progress_window_win32.h"

#include <commctrl.h>

#include "editor/editor_state_win32.h"

ProgressWindow::ProgressWindow(HWND owner, std::wstring title) : owner_(owner), title_(std::move(title)) {}

ProgressWindow::~ProgressWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

PictureProgress ProgressWindow::callback() {
    return [this](std::size_t done, std::size_t total) { step(done, total); };
}

void ProgressWindow::open() {
    RECT owner{};
    GetWindowRect(owner_, &owner);
    const int width = static_cast<int>(360 * editor.scale);
    const int height = static_cast<int>(90 * editor.scale);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", title_.c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE,
                              (owner.left + owner.right - width) / 2, (owner.top + owner.bottom - height) / 2, width,
                              height, owner_, nullptr, atelierInstance, nullptr);
    RECT client{};
    GetClientRect(window_, &client);
    const int margin = static_cast<int>(12 * editor.scale);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, margin, margin,
                           client.right - 2 * margin, client.bottom - 2 * margin, window_, nullptr, atelierInstance,
                           nullptr);
}

void ProgressWindow::step(std::size_t done, std::size_t total) {
    // The work runs on this thread: asking for messages at every beat keeps
    // Windows from calling the window not responding after 5 s, and the
    // windows repaint; other messages wait for the work to end.
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
    if (window_ == nullptr) {
        if (std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
        open();
    }
    SendMessageW(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    UpdateWindow(window_);
}
