#pragma once
// Texts between the editor's Unicode windows and the quiz: UTF-16 on screen,
// UTF-8 for the authoring library, code page 1252 inside the quiz.

#include <windows.h>

#include <string>
#include <string_view>

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// Code page 1252 bytes as the player shows them, the five undefined bytes
// included, for a Unicode control.
std::wstring widenCp1252(std::string_view bytes);

std::wstring windowText(HWND window);
// Sets the text when it differs from the window's.
void setWindowText(HWND window, std::wstring_view text);
