#include "editor/editor_state_win32.h"

#include "editor/wide_files_win32.h"

EditorState editor;
HWND atelierWindow = nullptr;
HINSTANCE atelierInstance = nullptr;

HWND control(int id) { return GetDlgItem(atelierWindow, id); }

std::wstring documentName() {
    if (!editor.path.empty()) return fileNameOf(editor.path);
    return L"Sans titre";
}
