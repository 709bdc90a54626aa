#include "editing/file_names.h"

#include <gtest/gtest.h>

namespace {

TEST(QuizFileStem, TheQuizNameMadeFitForWindows) {
    const struct {
        std::string_view name;
        std::string_view stem;
    } cases[] = {
        {"Le ciel et la nature", "Le ciel et la nature"},
        {"CE1 : les animaux ?", "CE1 les animaux"},
        {"  Quiz  \"final\"...  ", "Quiz final"},
        {"a/b\\c|d*e<f>g", "abcdefg"},
        {"", "mon_quiz"},
        {"???", "mon_quiz"},
        {"nul", "nul_quiz"},
        {"Com3", "Com3_quiz"},
        {"Console", "Console"},
        {"Été\tà Paris", "Étéà Paris"},
    };
    for (const auto& c : cases) EXPECT_EQ(quizFileStem(c.name), c.stem) << c.name;
    // Long names are cut between characters, never inside one.
    std::string long_name;
    for (int i = 0; i < 60; ++i) long_name += "é";
    const std::string stem = quizFileStem(long_name);
    EXPECT_EQ(stem.size(), 80u);
    EXPECT_EQ(stem, long_name.substr(0, 80));
}

TEST(AnswerFromFileName, WordsProposeThemselvesCameraNamesNothing) {
    const struct {
        std::string_view file;
        std::string_view answer;
    } cases[] = {
        {"soleil.jpg", "soleil"},
        {"tour_eiffel.png", "tour eiffel"},
        {"Arc-en-ciel.jpeg", "Arc-en-ciel"},
        {"C:\\Images\\l'été.heic", "l'été"},
        {"photos/__la__lune_.gif", "la lune"},
        {"sans extension", "sans extension"},
        {"IMG_1234.JPG", ""},
        {"DSC01234.jpg", ""},
        {"PXL_20240101_123456789.jpg", ""},
        {"0042.png", ""},
        {"photo (2).jpg", ""},
        {"a+b.png", ""},
        {"_-_.png", ""},
        {".jpg", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(answerFromFileName(c.file), c.answer) << c.file;
}

}  // namespace
