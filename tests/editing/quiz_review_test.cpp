#include <gtest/gtest.h>

#include <memory>

#include "editing/quiz_review.h"

namespace {

DocumentContent contentOf(std::vector<SourceQuestion> questions, std::vector<bool> pictures) {
    DocumentContent content;
    content.source.questions = std::move(questions);
    for (const bool picture : pictures) {
        content.prepared.push_back(picture ? std::make_shared<const PreparedPicture>() : nullptr);
    }
    return content;
}

TEST(QuizReview, SaysWhatWillSurpriseThePlayersQuestionByQuestion) {
    DocumentContent content = contentOf({{"LUNE", "", "", "", ""}, {"lune ", "", "", "", ""}, {"", "", "", "", ""},
                                         {"for\xEAt", "", "", "", ""}},
                                        {true, false, true, true});
    std::vector<std::string> texts;
    std::vector<std::optional<std::size_t>> questions;
    for (const ReviewPoint& point : pointsBeforeSaving(content)) {
        texts.push_back(point.text);
        questions.push_back(point.question);
    }
    const std::vector<std::string> expected{
        "Le quiz n'a pas de nom : le joueur verra un titre vide.",
        "Le quiz n'a pas d'auteur : la case « Par : » du joueur restera vide.",
        "Pas de lignes de code : le joueur verra une case « Code » vide, sans récompense.",
        "Question 1 : la même réponse attendue que la question 2 (« LUNE »).",
        "Question 2 : pas d'image : le joueur verra un cadre vide.",
        "Question 2 : la même réponse attendue que la question 1 (« LUNE »).",
        "Question 3 : pas de réponse attendue : personne ne pourra la trouver.",
    };
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(questions[2], std::nullopt);
    EXPECT_EQ(questions[6], 2u);

    // The list's mark adds the answers' warnings, the accent advice among them.
    const std::vector<std::string> foret = questionPoints(content, 3);
    ASSERT_EQ(foret.size(), 2u);
    EXPECT_TRUE(foret[1].starts_with("Conseil")) << foret[1];
    EXPECT_EQ(questionPoints(content, 2), std::vector<std::string>{"Pas de réponse attendue : personne ne pourra la trouver."});
    EXPECT_TRUE(questionPoints(content, 9).empty());

    content.source.quizName = "Q";
    content.source.creatorName = "C";
    content.codeLines = {"A"};
    content.source.questions[1].answer = "SOLEIL";
    content.source.questions[2].answer = "ETOILE";
    content.prepared[1] = std::make_shared<const PreparedPicture>();
    content.source.questions.pop_back();
    EXPECT_TRUE(pointsBeforeSaving(content).empty()) << "a quiz that will not surprise its players";
}

}  // namespace
