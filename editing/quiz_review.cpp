#include "editing/quiz_review.h"

#include <string_view>

#include "authoring/cp1252.h"
#include "editing/grading_preview.h"
#include "editing/header_fit.h"
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
std::vector<std::string> comparedAnswers(const DocumentContent& content) {
    std::vector<std::string> answers;
    answers.reserve(content.questions.size());
    for (const DocumentQuestion& question : content.questions) answers.push_back(asCompared(question.answer));
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

// What a question lacks, each said alike in the save check and on its mark.
struct Lack {
    const char* what;  // "pas de réponse attendue"
    const char* one;   // what follows for one question
    const char* many;  // for several
    bool (*lacks)(const DocumentContent&, const DocumentQuestion&);
};

const Lack Lacks[] = {
    {"pas de réponse attendue", "personne ne pourra la trouver", "personne ne pourra les trouver",
     [](const DocumentContent&, const DocumentQuestion& q) { return q.answer.empty(); }},
    {"pas de deuxième réponse attendue", "personne ne pourra la trouver", "personne ne pourra les trouver",
     [](const DocumentContent& c, const DocumentQuestion& q) {
         return c.quiz.answersPerQuestion == 2 && q.secondAnswer.empty();
     }},
    {"pas d'image", "le joueur verra un cadre vide", "le joueur y verra un cadre vide",
     [](const DocumentContent&, const DocumentQuestion& q) { return q.prepared == nullptr; }},
};

// The save check's points of one question, without its label.
std::vector<std::string> ownPoints(const DocumentContent& content, std::size_t question,
                                   const std::vector<std::string>& answers) {
    const DocumentQuestion& q = content.questions[question];
    std::vector<std::string> points;
    for (const Lack& lack : Lacks) {
        if (lack.lacks(content, q)) points.push_back(std::string(lack.what) + " : " + lack.one + ".");
    }
    if (const std::optional<std::size_t> other = sameAnswerAs(answers, question)) {
        points.push_back("la même réponse attendue que la question " + std::to_string(*other + 1) + " (« " +
                         cp1252ToUtf8(answers[question]) + " »).");
    }
    return points;
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// "3", "1 à 4, 7 et 9": runs of three or more said as a range.
std::string numbersList(const std::vector<std::size_t>& numbers) {
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t end = i;
        while (end + 1 < numbers.size() && numbers[end + 1] == numbers[end] + 1) ++end;
        if (end >= i + 2) {
            parts.push_back(std::to_string(numbers[i]) + " à " + std::to_string(numbers[end]));
            i = end + 1;
        } else {
            parts.push_back(std::to_string(numbers[i]));
            ++i;
        }
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == parts.size() ? " et " : ", ") + parts[i];
    }
    return text;
}

// Question indices (0-based) as the author counts them.
std::string questionsList(const std::vector<std::size_t>& questions) {
    std::vector<std::size_t> numbers;
    for (const std::size_t q : questions) numbers.push_back(q + 1);
    return (numbers.size() == 1 ? "question " : "questions ") + numbersList(numbers);
}

// One line for what many questions lack alike: "Pas d'image : questions 1 à 96 (…)."
void addLackPoints(const DocumentContent& content, std::vector<ReviewPoint>& points) {
    for (const Lack& lack : Lacks) {
        std::vector<std::size_t> lacking;
        for (std::size_t i = 0; i < content.questions.size(); ++i) {
            if (lack.lacks(content, content.questions[i])) lacking.push_back(i);
        }
        if (lacking.size() == 1) {
            points.push_back({lacking[0], questionLabel(lacking[0]) + lack.what + " : " + lack.one + "."});
        } else if (!lacking.empty()) {
            points.push_back({lacking[0], capitalised(lack.what) + " : " + questionsList(lacking) + " (" + lack.many + ")."});
        }
    }
}

// One line for each answer that several questions expect.
void addSameAnswerPoints(const std::vector<std::string>& answers, std::vector<ReviewPoint>& points) {
    std::vector<bool> said(answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (said[i] || answers[i].empty()) continue;
        std::vector<std::size_t> same;
        for (std::size_t other = i; other < answers.size(); ++other) {
            if (answers[other] == answers[i]) {
                same.push_back(other);
                said[other] = true;
            }
        }
        if (same.size() < 2) continue;
        points.push_back({i, "La même réponse attendue (« " + cp1252ToUtf8(answers[i]) + " ») : " + questionsList(same) + "."});
    }
}

}  // namespace

std::vector<ReviewPoint> pointsBeforeSaving(const DocumentContent& content) {
    const QuizSettings& quiz = content.quiz;
    std::vector<ReviewPoint> points;
    if (quiz.quizName.empty()) points.push_back({std::nullopt, "Le quiz n'a pas de nom : le joueur verra un titre vide."});
    if (quiz.creatorName.empty()) {
        points.push_back({std::nullopt, "Le quiz n'a pas d'auteur : la case « Par : » du joueur restera vide."});
    }
    for (const std::string& cut : headerCutNotes(quiz)) points.push_back({std::nullopt, cut + "."});
    if (content.codeLines.empty()) {
        points.push_back({std::nullopt, "Pas de lignes de code : le joueur verra une case « Code » vide, sans récompense."});
    }
    if (content.questions.empty()) points.push_back({std::nullopt, "Le quiz n'a aucune question."});
    addLackPoints(content, points);
    addSameAnswerPoints(comparedAnswers(content), points);
    return points;
}

namespace {

std::vector<std::string> listPoints(const DocumentContent& content, std::size_t question,
                                    const std::vector<std::string>& answers) {
    std::vector<std::string> points = ownPoints(content, question, answers);
    for (std::string& point : points) point = capitalised(std::move(point));
    const DocumentQuestion& q = content.questions[question];
    // The missing answer is already said.
    if (!q.answer.empty()) {
        for (std::string& line : frenchWarningLines(q.answer)) points.push_back(std::move(line));
    }
    if (content.quiz.answersPerQuestion == 2 && !q.secondAnswer.empty()) {
        for (const std::string& line : frenchWarningLines(q.secondAnswer)) points.push_back("Deuxième réponse : " + line);
    }
    return points;
}

}  // namespace

std::vector<std::string> questionPoints(const DocumentContent& content, std::size_t question) {
    if (question >= content.questions.size()) return {};
    return listPoints(content, question, comparedAnswers(content));
}

std::vector<std::vector<std::string>> everyQuestionsPoints(const DocumentContent& content) {
    const std::vector<std::string> answers = comparedAnswers(content);
    std::vector<std::vector<std::string>> points;
    points.reserve(answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i) points.push_back(listPoints(content, i, answers));
    return points;
}

std::vector<std::string> answerWarningLines(const DocumentContent& content, std::size_t question) {
    if (question >= content.questions.size()) return {};
    const DocumentQuestion& q = content.questions[question];
    std::vector<std::string> lines = frenchWarningLines(q.answer);
    if (content.quiz.answersPerQuestion == 2) {
        for (const std::string& line : frenchWarningLines(q.secondAnswer)) lines.push_back("Deuxième réponse : " + line);
    }
    return lines;
}
