#include "editing/quiz_review.h"

#include <string_view>

#include "authoring/cp1252.h"
#include "editing/grading_preview.h"
#include "grading/text_measures.h"

namespace {

// An answer as the player reads what is typed: spaces at the ends dropped,
// a to z in capitals (its own text operations).
std::string asCompared(std::string_view answer) {
    Text text(answer);
    trimSpaces(text);
    upperAscii(text);
    return std::string(text.view());
}

std::string questionLabel(std::size_t question) { return "Question " + std::to_string(question + 1) + " : "; }

// Every question's answer as compared, made once for a whole list.
std::vector<std::string> comparedAnswers(const QuizSource& source) {
    std::vector<std::string> answers;
    answers.reserve(source.questions.size());
    for (const SourceQuestion& question : source.questions) answers.push_back(asCompared(question.answer));
    return answers;
}

// Another question with the same expected answer, the first one, if any.
std::optional<std::size_t> sameAnswerAs(const std::vector<std::string>& answers, std::size_t question) {
    if (answers[question].empty()) return std::nullopt;
    for (std::size_t other = 0; other < answers.size(); ++other) {
        if (other != question && answers[other] == answers[question]) return other;
    }
    return std::nullopt;
}

// The save check's points of one question, without its label.
std::vector<std::string> ownPoints(const DocumentContent& content, std::size_t question,
                                   const std::vector<std::string>& answers) {
    const QuizSource& source = content.source;
    const SourceQuestion& q = source.questions[question];
    std::vector<std::string> points;
    if (q.answer.empty()) points.emplace_back("pas de réponse attendue : personne ne pourra la trouver.");
    if (source.answersPerQuestion == 2 && q.secondAnswer.empty()) {
        points.emplace_back("pas de deuxième réponse attendue : personne ne pourra la trouver.");
    }
    if (question >= content.prepared.size() || content.prepared[question] == nullptr) {
        points.emplace_back("pas d'image : le joueur verra un cadre vide.");
    }
    if (const std::optional<std::size_t> other = sameAnswerAs(answers, question)) {
        points.push_back("la même réponse attendue que la question " + std::to_string(*other + 1) + " (« " +
                         cp1252ToUtf8(answers[question]) + " »).");
    }
    return points;
}

}  // namespace

std::vector<ReviewPoint> pointsBeforeSaving(const DocumentContent& content) {
    const QuizSource& source = content.source;
    std::vector<ReviewPoint> points;
    if (source.quizName.empty()) points.push_back({std::nullopt, "Le quiz n'a pas de nom : le joueur verra un titre vide."});
    if (source.creatorName.empty()) {
        points.push_back({std::nullopt, "Le quiz n'a pas d'auteur : la case « Par : » du joueur restera vide."});
    }
    if (content.codeLines.empty()) {
        points.push_back({std::nullopt, "Pas de lignes de code : le joueur verra une case « Code » vide, sans récompense."});
    }
    if (source.questions.empty()) points.push_back({std::nullopt, "Le quiz n'a aucune question."});
    const std::vector<std::string> answers = comparedAnswers(source);
    for (std::size_t i = 0; i < source.questions.size(); ++i) {
        for (std::string& point : ownPoints(content, i, answers)) points.push_back({i, questionLabel(i) + point});
    }
    return points;
}

namespace {

std::vector<std::string> listPoints(const DocumentContent& content, std::size_t question,
                                    const std::vector<std::string>& answers) {
    std::vector<std::string> points = ownPoints(content, question, answers);
    for (std::string& point : points) point[0] = static_cast<char>(point[0] - 'a' + 'A');  // each starts with a to z
    const SourceQuestion& q = content.source.questions[question];
    // The missing answer is already said.
    if (!q.answer.empty()) {
        for (std::string& line : frenchWarningLines(q.answer)) points.push_back(std::move(line));
    }
    if (content.source.answersPerQuestion == 2 && !q.secondAnswer.empty()) {
        for (const std::string& line : frenchWarningLines(q.secondAnswer)) points.push_back("Deuxième réponse : " + line);
    }
    return points;
}

}  // namespace

std::vector<std::string> questionPoints(const DocumentContent& content, std::size_t question) {
    if (question >= content.source.questions.size()) return {};
    return listPoints(content, question, comparedAnswers(content.source));
}

std::vector<std::vector<std::string>> everyQuestionsPoints(const DocumentContent& content) {
    const std::vector<std::string> answers = comparedAnswers(content.source);
    std::vector<std::vector<std::string>> points;
    points.reserve(answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i) points.push_back(listPoints(content, i, answers));
    return points;
}

std::vector<std::string> answerWarningLines(const QuizSource& source, std::size_t question) {
    if (question >= source.questions.size()) return {};
    const SourceQuestion& q = source.questions[question];
    std::vector<std::string> lines = frenchWarningLines(q.answer);
    if (source.answersPerQuestion == 2) {
        for (const std::string& line : frenchWarningLines(q.secondAnswer)) lines.push_back("Deuxième réponse : " + line);
    }
    return lines;
}
