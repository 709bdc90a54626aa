#pragma once
// The editor window's child controls: made once, placed on every resize.

#include <windows.h>

void createEditorControls(HWND window);
void placeEditorControls(HWND window);
// After a change of dots per inch: every control in the editor's font.
void applyEditorFont();
// The list's one column as wide as its client area, which a vertical scroll
// bar narrows once the list outgrows its height.
void fitQuestionListColumn();

// The question list's empty state, drawn over its background.
inline constexpr wchar_t EmptyListHint[] = L"Glissez vos images ici";
