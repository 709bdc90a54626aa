#include "editor/text_win32.h"

#include <vector>

#include "authoring/cp1252.h"

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring widenCp1252(std::string_view bytes) { return widen(cp1252ToUtf8(bytes)); }

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, buffer.data(), length + 1);
    return buffer.data();
}

void setWindowText(HWND window, std::wstring_view text) {
    // An edit control lays its whole text out again on every set, slow for a
    // long list of code lines: a text that did not change is left alone.
    if (windowText(window) == text) return;
    SetWindowTextW(window, std::wstring(text).c_str());
}
