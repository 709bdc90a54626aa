#pragma once
// The comment modes as the author chooses them in either editor, in mode
// order (0 to 4), each named by what the players see, with a line that says
// more (UTF-8). Modes 1 and 3 repeat 0 and 2: older quizzes hold them, and an
// opened quiz keeps its own.

#include <string_view>

struct CommentModeText {
    std::string_view name;
    std::string_view help;
};

inline constexpr CommentModeText CommentModeTexts[] = {
    {"Aucun commentaire",
     "Les joueurs ne voient aucun commentaire ; ceux écrits ici ne sont pas enregistrés dans le quiz."},
    {"Aucun commentaire (comme au-dessus)",
     "Comme « Aucun commentaire » : la valeur d'un quiz plus ancien, gardée telle quelle."},
    {"Chacun dès que sa question est trouvée",
     "Le commentaire d'une question s'affiche dès que le joueur l'a trouvée, dans les deux vues."},
    {"Chacun dès sa question trouvée (ancien)",
     "Comme la ligne au-dessus : la valeur d'un quiz plus ancien, gardée telle quelle."},
    {"Tous ensemble, quand tout est trouvé",
     "Chacun s'affiche sous sa question trouvée ; la vue d'ensemble les montre tous à la fin."},
};
