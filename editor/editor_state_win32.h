#pragma once
// The editor's process-wide state: the one document, the file it is saved
// to, the question shown, and the window's drawing objects.

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "editing/file_stamp.h"
#include "editing/quiz_document.h"
#include "editor/editor_layout.h"

struct EditorState {
    QuizDocument document = newDocument();
    std::wstring path;            // where the document is saved; empty: not yet
    std::optional<FileStamp> pathStamp;  // what that file held when opened or last saved
    std::wstring suggestedName;   // for a first save, e.g. after importing a source
    int selected = -1;            // the question shown; -1: none
    bool filling = false;         // the controls are being filled: their changes are not the author's
    int notedField = 0;           // the field whose note shows under it; 0: none
    bool notedFieldLeft = false;  // the author left it since: its next change ends the note
    HIMAGELIST images = nullptr;  // the question list's thumbnails

    HFONT font = nullptr;
    HBRUSH swatch = nullptr;
    std::array<HBRUSH, 4> verdictBrushes{};  // right, wrong, anagram, hint
    double scale = 1.0;           // the window's monitor's dots per inch / 96
};

extern EditorState editor;
extern HWND atelierWindow;
extern HINSTANCE atelierInstance;

HWND control(int id);

// `units` of a 96-dpi screen in the window's pixels.
int scaled(int units);

// "mon_quiz.exe", or "Sans titre" for a document never saved.
std::wstring documentName();
