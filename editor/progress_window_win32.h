#pragma once
// A progress bar for picture work that takes more than a second: it appears
// once a second has passed, and goes when the work is done.

#include <windows.h>

#include <chrono>
#include <string>

#include "picture_preparation/picture_batch.h"

class ProgressWindow {
public:
    ProgressWindow(HWND owner, std::wstring title);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // What the preparation calls as each picture is done.
    PictureProgress callback();

private:
    void step(std::size_t done, std::size_t total);
    void open();

    HWND owner_;
    std::wstring title_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    HWND window_ = nullptr;
    HWND bar_ = nullptr;
};
