#include "tools/quizmake/record_json.h"

#include <nlohmann/json.hpp>

#include "authoring/cp1252.h"

namespace {
std::string utf8(const Text& text) { return cp1252ToUtf8(text.view()); }
}  // namespace

std::string recordJson(const QuizRecord& record) {
    nlohmann::ordered_json json;
    json["quizName"] = utf8(record.quizName);
    json["creatorName"] = utf8(record.creatorName);
    json["explanation"] = utf8(record.explanation);
    json["firstAnswerLabel"] = utf8(record.firstAnswerLabel);
    json["secondAnswerLabel"] = utf8(record.secondAnswerLabel);
    json["showPictures"] = record.showPictures;
    json["questionCount"] = record.questionCount;
    json["answersPerQuestion"] = record.answersPerQuestion;
    json["commentMode"] = record.commentMode;
    json["backgroundRed"] = record.backgroundRed;
    json["backgroundGreen"] = record.backgroundGreen;
    json["backgroundBlue"] = record.backgroundBlue;
    json["backgroundColour"] = record.backgroundColour;

    auto questions = nlohmann::ordered_json::array();
    for (const QuestionEntry* q = record.questions.head; q != nullptr; q = q->next) {
        questions.push_back({{"answer", utf8(q->answer)},
                             {"secondAnswer", utf8(q->secondAnswer)},
                             {"location", utf8(q->location)},
                             {"comment", utf8(q->comment)}});
    }
    json["questions"] = std::move(questions);

    // The code lines the loader filled: one per question, at most 96.
    auto codes = nlohmann::ordered_json::array();
    const int lines = record.questionCount < MaxCodeLines ? record.questionCount : MaxCodeLines;
    for (int i = 0; i < lines; ++i) codes.push_back(utf8(record.codes[static_cast<std::size_t>(i)]));
    json["codes"] = std::move(codes);
    return json.dump(2) + "\n";
}
