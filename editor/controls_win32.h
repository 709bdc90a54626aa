#pragma once
// The editor window's child controls: made once, placed on every resize.

#include <windows.h>

#include <initializer_list>
#include <string>

void createEditorControls(HWND window);
void placeEditorControls(HWND window);
// After a change of dots per inch: every control in the editor's font.
void applyEditorFont();
// The list's one column as wide as its client area, which a vertical scroll
// bar narrows once the list outgrows its height.
void fitQuestionListColumn();

// A line of text right under `field` (a text field's id): what its text could
// not keep as entered, or why a change was refused. Never focused, it stays
// until `endFieldNote` names the field; the controls below make room for it.
void showFieldNote(int field, const std::wstring& note);
// The note ends when it is under one of `fields`.
void endFieldNote(std::initializer_list<int> fields);

// The question list's empty state, drawn over its background.
inline constexpr wchar_t EmptyListHint[] = L"Glissez vos images ici";
