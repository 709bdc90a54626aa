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

// The comment modes as the author chooses them, in mode order (0 to 4).
inline constexpr const wchar_t* CommentModeNames[] = {
    L"0 : aucun commentaire (non enregistrés)",
    L"1 : aucun commentaire (comme 0)",
    L"2 : celui d'une question, dès qu'elle est résolue",
    L"3 : comme 2 (ancienne forme)",
    L"4 : tous, quand tout le quiz est résolu",
};
