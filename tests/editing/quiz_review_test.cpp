#include <gtest/gtest.h>

#include <memory>

#include "editing/quiz_review.h"

namespace {

DocumentContent contentOf(const std::vector<std::string>& answers, std::vector<bool> pictures) {
    DocumentContent content;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        DocumentQuestion& question = content.questions.emplace_back();
        question.answer = answers[i];
        if (pictures[i]) question.prepared = std::make_shared<const PreparedPicture>();
    }
    return content;
}

std::vector<std::string> textsOf(const std::vector<ReviewPoint>& points) {
    std::vector<std::string> texts;
    for (const ReviewPoint& point : points) texts.push_back(point.text);
    return texts;
}

TEST(QuizReview, SaysWhatWillSurpriseThePlayers) {
    DocumentContent content = contentOf({"LUNE", "lune ", "", "for\xEAt"}, {true, false, true, true});
    const std::vector<ReviewPoint> points = pointsBeforeSaving(content);
    const std::vector<std::string> expected{
        "Le quiz n'a pas de nom : le joueur verra un titre vide.",
        "Le quiz n'a pas d'auteur : la case « Par : » du joueur restera vide.",
        "Pas de lignes de code : le joueur verra une case « Code » vide, sans récompense.",
        "Question 3 : pas de réponse attendue : personne ne pourra la trouver.",
        "Question 2 : pas d'image : le joueur verra un cadre vide.",
        "La même réponse attendue (« LUNE ») : questions 1 et 2.",
    };
    EXPECT_EQ(textsOf(points), expected);
    EXPECT_EQ(points[2].question, std::nullopt);
    EXPECT_EQ(points[3].question, 2u) << "Revenir shows the question concerned";
    EXPECT_EQ(points[5].question, 0u);

    // The list's mark adds the answers' warnings, the accent advice among them.
    const std::vector<std::string> foret = questionPoints(content, 3);
    ASSERT_EQ(foret.size(), 2u);
    EXPECT_TRUE(foret[1].starts_with("Conseil")) << foret[1];
    EXPECT_EQ(questionPoints(content, 2), std::vector<std::string>{"Pas de réponse attendue : personne ne pourra la trouver."});
    EXPECT_EQ(questionPoints(content, 0),
              std::vector<std::string>{"La même réponse attendue que la question 2 (« LUNE »)."});
    EXPECT_TRUE(questionPoints(content, 9).empty());

    content.quiz.quizName = "Q";
    content.quiz.creatorName = "C";
    content.codeLines = {"A"};
    content.questions[1].answer = "SOLEIL";
    content.questions[2].answer = "ETOILE";
    content.questions[1].prepared = std::make_shared<const PreparedPicture>();
    content.questions.pop_back();
    EXPECT_TRUE(pointsBeforeSaving(content).empty()) << "a quiz that will not surprise its players";
    content.quiz.quizName = "Les grands monuments de France";
    EXPECT_EQ(textsOf(pointsBeforeSaving(content)),
              std::vector<std::string>{"Le nom sera coupé après « Les grands monuments de »."})
        << "the header's cuts are said before saving too";
}

// What many questions share is said once, naming them all.
TEST(QuizReview, SaysWhatManyQuestionsShareOnce) {
    struct Case {
        std::vector<int> lacking;  // 1-based, the questions without an answer
        std::string line;
    };
    const Case cases[] = {
        {{2}, "Question 2 : pas de réponse attendue : personne ne pourra la trouver."},
        {{1, 2}, "Pas de réponse attendue : questions 1 et 2 (personne ne pourra les trouver)."},
        {{1, 2, 3, 5, 7, 8}, "Pas de réponse attendue : questions 1 à 3, 5, 7 et 8 (personne ne pourra les trouver)."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> answers;
        for (int i = 1; i <= 9; ++i) answers.push_back("R" + std::to_string(i));
        for (const int q : c.lacking) answers[static_cast<std::size_t>(q - 1)].clear();
        DocumentContent content = contentOf(answers, std::vector<bool>(9, true));
        content.quiz.quizName = "Q";
        content.quiz.creatorName = "C";
        content.codeLines = {"A"};
        EXPECT_EQ(textsOf(pointsBeforeSaving(content)), std::vector<std::string>{c.line});
    }
    DocumentContent bare = contentOf(std::vector<std::string>(96), std::vector<bool>(96, false));
    bare.quiz.answersPerQuestion = 1;
    const std::vector<std::string> texts = textsOf(pointsBeforeSaving(bare));
    ASSERT_EQ(texts.size(), 5u) << "name, creator, codes, answers, pictures: " << ::testing::PrintToString(texts);
    EXPECT_EQ(texts[3], "Pas de réponse attendue : questions 1 à 96 (personne ne pourra les trouver).");
    EXPECT_EQ(texts[4], "Pas d'image : questions 1 à 96 (le joueur y verra un cadre vide).");
}

}  // namespace
