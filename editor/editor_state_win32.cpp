#include "editor/editor_state_win32.h"

#include <cmath>

#include "editor/wide_files_win32.h"

EditorState editor;
HWND atelierWindow = nullptr;
HINSTANCE atelierInstance = nullptr;

HWND control(int id) { return GetDlgItem(atelierWindow, id); }

int scaled(int units) { return static_cast<int>(std::lround(units * editor.scale)); }

std::wstring documentName() {
    if (!editor.path.empty()) return fileNameOf(editor.path);
    return L"Sans titre";
}
