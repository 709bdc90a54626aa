#include "tests/support/french_prose.h"

#include <array>
#include <random>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 16> Sentences = {
    "Au bord du canal, les péniches attendent que l'écluse s'ouvre, et les mariniers boivent un café brûlant. ",
    "La cathédrale dresse ses deux tours au-dessus des toits gris, à peine visibles dans la brume du matin. ",
    "Dans la vallée, on récolte les noix en octobre ; les enfants ramassent celles qui tombent sur le chemin. ",
    "Le phare a été construit au dix-neuvième siècle sur un rocher que la mer recouvre à chaque grande marée. ",
    "Qui a peint ce tableau où l'on voit une femme lire une lettre près d'une fenêtre ouverte ? ",
    "Il faut traverser trois ponts et un marché couvert avant d'arriver à la gare, située près du fleuve. ",
    "Les montagnes se reflètent dans le lac ; l'hiver, la glace est si épaisse qu'on y patine sans crainte. ",
    "Ce château possède quatre cent quarante pièces, un escalier à double révolution et un parc immense. ",
    "À midi, la place s'emplit de pigeons, de touristes pressés et de musiciens qui jouent de l'accordéon. ",
    "Le fromage de cette région mûrit pendant dix-huit mois dans des caves creusées sous la colline. ",
    "On reconnaît l'arc de triomphe à ses sculptures, mais saurez-vous dire quelle avenue y mène ? ",
    "Sous la pluie, le vieux port semble désert ; seuls quelques pêcheurs réparent leurs filets. ",
    "La forêt de hêtres s'étend jusqu'à la frontière, traversée par une route étroite et sinueuse. ",
    "Ce pont suspendu relie deux falaises ; il a fallu sept ans pour l'achever, malgré le vent. ",
    "Voilà l'île où naquit un empereur : ses maisons jaunes et ocre descendent jusqu'à la mer. ",
    "Les vignes couvrent les coteaux ; en septembre, les vendangeurs coupent les grappes à la main. ",
};

// The sentences are written in UTF-8; their accented letters are all in the
// Latin-1 range, whose code page 1252 byte is the code point.
void appendCp1252(std::vector<std::uint8_t>& out, std::string_view utf8, std::size_t limit) {
    for (std::size_t i = 0; i < utf8.size() && out.size() < limit; ++i) {
        const auto byte = static_cast<std::uint8_t>(utf8[i]);
        if (byte < 0x80) {
            out.push_back(byte);
        } else {
            const auto next = static_cast<std::uint8_t>(utf8[++i]);
            out.push_back(static_cast<std::uint8_t>(((byte & 0x03u) << 6) | (next & 0x3Fu)));
        }
    }
}

}  // namespace

std::vector<std::uint8_t> frenchProse(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> text;
    text.reserve(size);
    std::mt19937 generator(seed);
    std::uniform_int_distribution<std::size_t> pick(0, Sentences.size() - 1);
    while (text.size() < size) appendCp1252(text, Sentences[pick(generator)], size);
    return text;
}
