#include <gtest/gtest.h>

#include "editing/header_fit.h"

namespace {

// Every character 6 pixels wide, a space 3.
int fixedWidth(std::string_view text) {
    int width = 0;
    for (const char c : text) width += c == ' ' ? 3 : 6;
    return width;
}

TEST(HeaderFit, WrapsAtSpacesAndSaysWhatTheLabelCuts) {
    const struct {
        const char* text;
        int width;
        int lines;
        std::vector<std::string> shown;
        std::optional<std::string> cut;
    } cases[] = {
        {"Le ciel", 60, 1, {"Le ciel"}, std::nullopt},
        {"", 60, 1, {}, std::nullopt},
        // 3 + 1 + 6 characters: "N'oublie pas" is 69 pixels, one too many for 68.
        {"N'oublie pas les accents", 68, 1, {"N'oublie"}, "N'oublie"},
        {"N'oublie pas les accents", 69, 2, {"N'oublie pas", "les accents"}, std::nullopt},
        {"Tapez  sans   accent", 200, 1, {"Tapez sans accent"}, std::nullopt},
        // A word wider than the label is alone on its line and cut at the edge.
        {"Anticonstitutionnellement dit", 60, 2, {"Anticonsti", "dit"}, "Anticonsti dit"},
        {"CE1 (maîtresse Dupont)", 60, 1, {"CE1"}, "CE1"},
        {"Bonjour\r\nTapez", 200, 2, {"Bonjour", "Tapez"}, std::nullopt},  // a line break starts a line
        {"Bonjour\r\nTapez", 200, 1, {"Bonjour"}, "Bonjour"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shownLines(c.text, c.width, c.lines, fixedWidth), c.shown) << c.text;
        EXPECT_EQ(cutText(c.text, c.width, c.lines, fixedWidth), c.cut) << c.text;
    }
}

TEST(HeaderFit, TheExplanationTakesThePanelWidthLessItsNeighbours) {
    // A frame of 6 pixels: a client 664 wide, a panel 651 inside its border.
    EXPECT_EQ(headerLabel(HeaderText::Explanation, 6).width, 651 - 384);
    EXPECT_EQ(headerLabel(HeaderText::Explanation, 6).height, 28);
    EXPECT_EQ(headerLabel(HeaderText::QuizName, 6).width, 260);
    EXPECT_EQ(headerLabel(HeaderText::Creator, 16).width, 105) << "fixed, whatever the frame";
}

}  // namespace

namespace {

// Both editors say the same header texts are cut, from the player's font widths.
TEST(HeaderFit, TheCutsAreSaidFromThePlayersFontWidths) {
    EXPECT_EQ(playerTextWidth(HeaderText::QuizName, "Les grands monuments de France"), 287)
        << "as measured whole in the title font";
    EXPECT_EQ(playerTextWidth(HeaderText::Creator, "Les grands monuments de France"), 193);
    QuizSettings quiz;
    quiz.quizName = "Le ciel et la nature";
    quiz.creatorName = "L'\xE9quipe Zorbel";
    quiz.explanation = "Que montre l'image ? Tapez-le sans accent, puis Entr\xE9" "e. F2 sauve vos r\xE9ponses.";
    EXPECT_TRUE(headerCutNotes(quiz).empty()) << "the demo's texts show whole";
    quiz.quizName = "Les grands monuments de France";
    quiz.creatorName = "Mme Dupont-Lefebvre, CE2";
    const std::vector<std::string> notes = headerCutNotes(quiz);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "Le nom sera coupé après « Les grands monuments de »");
    EXPECT_EQ(notes[1], "L'auteur sera coupé après « Mme »");
}

}  // namespace
