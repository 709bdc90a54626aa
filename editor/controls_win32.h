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

// The comment modes as the author chooses them, in mode order (0 to 4),
// each named by what the players see, with a line that says more. Modes 1 and
// 3 repeat 0 and 2: older quizzes hold them, and an opened quiz keeps its own.
inline constexpr const wchar_t* CommentModeNames[] = {
    L"Aucun commentaire",
    L"Aucun commentaire (comme au-dessus)",
    L"Chacun dès que sa question est trouvée",
    L"Chacun dès sa question trouvée (ancien)",
    L"Tous ensemble, quand tout est trouvé",
};
inline constexpr const wchar_t* CommentModeHelps[] = {
    L"Les joueurs ne voient aucun commentaire ; ceux écrits ici ne sont pas enregistrés dans le quiz.",
    L"Comme « Aucun commentaire » : la valeur d'un quiz plus ancien, gardée telle quelle.",
    L"Le commentaire d'une question s'affiche dès que le joueur l'a trouvée, dans les deux vues.",
    L"Comme la ligne au-dessus : la valeur d'un quiz plus ancien, gardée telle quelle.",
    L"Chacun s'affiche sous sa question trouvée ; la vue d'ensemble les montre tous à la fin.",
};

// The question list's empty state, drawn over its background.
inline constexpr wchar_t EmptyListHint[] = L"Glissez vos images ici";
