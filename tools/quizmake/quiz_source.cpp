#include "tools/quizmake/quiz_source.h"

#include <nlohmann/json.hpp>

#include "tools/quizmake/cp1252.h"

namespace {

using Json = nlohmann::json;

constexpr std::size_t MaxText = 259;
constexpr std::size_t MaxQuestions = 255;
constexpr int AnswerSlots = 96;

class Reader {
public:
    std::string error;

    // A text field: a JSON string that code page 1252 holds, without "|" or
    // a zero byte, at most 259 characters. Missing means empty.
    std::string text(const Json& object, const char* key, const std::string& where) {
        if (!error.empty() || !object.contains(key)) return {};
        return textValue(object[key], where + key);
    }

    std::string textValue(const Json& value, const std::string& label) {
        if (!error.empty()) return {};
        if (!value.is_string()) return fail(label + ": not a text");
        const Cp1252Text converted = utf8ToCp1252(value.get<std::string>());
        if (!converted.ok()) return fail(label + ": " + converted.error);
        if (converted.bytes.find('|') != std::string::npos) return fail(label + ": contains \"|\"");
        if (converted.bytes.find('\0') != std::string::npos) return fail(label + ": contains a zero byte");
        if (converted.bytes.size() > MaxText) {
            return fail(label + ": " + std::to_string(converted.bytes.size()) + " characters, at most 259");
        }
        return converted.bytes;
    }

    int number(const Json& object, const char* key, int fallback, int low, int high) {
        if (!error.empty() || !object.contains(key)) return fallback;
        const Json& value = object[key];
        if (!value.is_number_integer() || value.get<long long>() < low || value.get<long long>() > high) {
            fail(std::string(key) + ": a whole number from " + std::to_string(low) + " to " + std::to_string(high));
            return fallback;
        }
        return value.get<int>();
    }

private:
    std::string fail(const std::string& message) {
        if (error.empty()) error = message;
        return {};
    }
};

std::string field(const std::string& text) { return text + "|"; }
char byteOf(int value) { return static_cast<char>(static_cast<unsigned char>(value)); }

}  // namespace

ParsedSource parseQuizSource(std::string_view jsonText) {
    ParsedSource parsed;
    const Json json = Json::parse(jsonText, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        parsed.error = "not a JSON object";
        return parsed;
    }
    Reader read;
    QuizSource& quiz = parsed.source;
    quiz.quizName = read.text(json, "quizName", "");
    quiz.creatorName = read.text(json, "creatorName", "");
    quiz.explanation = read.text(json, "explanation", "");
    quiz.firstAnswerLabel = read.text(json, "firstAnswerLabel", "");
    quiz.secondAnswerLabel = read.text(json, "secondAnswerLabel", "");
    quiz.showPictures = read.number(json, "showPictures", 1, 0, 1);
    quiz.answersPerQuestion = read.number(json, "answersPerQuestion", 1, 1, 2);
    quiz.commentMode = read.number(json, "commentMode", 0, 0, 4);
    quiz.backgroundRed = read.number(json, "backgroundRed", 53, 0, 255);
    quiz.backgroundGreen = read.number(json, "backgroundGreen", 203, 0, 255);
    quiz.backgroundBlue = read.number(json, "backgroundBlue", 163, 0, 255);

    const Json questions = json.value("questions", Json::array());
    if (read.error.empty() && !questions.is_array()) read.error = "questions: not a list";
    for (std::size_t i = 0; read.error.empty() && i < questions.size(); ++i) {
        const std::string where = "question " + std::to_string(i + 1) + ": ";
        if (!questions[i].is_object()) {
            read.error = where + "not an object";
            break;
        }
        SourceQuestion q;
        q.answer = read.text(questions[i], "answer", where);
        q.secondAnswer = read.text(questions[i], "secondAnswer", where);
        q.location = read.text(questions[i], "location", where);
        q.comment = read.text(questions[i], "comment", where);
        if (read.error.empty() && questions[i].contains("picture")) {
            if (!questions[i]["picture"].is_string()) read.error = where + "picture: not a file name";
            else q.picture = questions[i]["picture"].get<std::string>();
        }
        quiz.questions.push_back(std::move(q));
    }
    if (read.error.empty() && quiz.questions.size() > MaxQuestions) read.error = "more than 255 questions";
    if (read.error.empty() && static_cast<int>(quiz.questions.size()) * quiz.answersPerQuestion > AnswerSlots) {
        read.error = "more than 96 answer slots (questions x answersPerQuestion)";
    }

    if (read.error.empty() && json.contains("codes")) {
        const Json& codes = json["codes"];
        if (!codes.is_array() || codes.size() > 96) {
            read.error = "codes: a list of at most 96 lines";
        } else {
            std::vector<std::string> lines;
            for (std::size_t i = 0; read.error.empty() && i < codes.size(); ++i) {
                lines.push_back(read.textValue(codes[i], "code " + std::to_string(i + 1)));
                if (lines.back().find_first_of("\r\n") != std::string::npos) {
                    read.error = "code " + std::to_string(i + 1) + ": contains a line break";
                }
            }
            quiz.codes = std::move(lines);
        }
    }
    parsed.error = read.error;
    return parsed;
}

std::string definitionText(const QuizSource& quiz) {
    std::string text;
    text += byteOf(0);
    text += byteOf(quiz.showPictures + 1);
    text += byteOf(static_cast<int>(quiz.questions.size()));
    text += byteOf(quiz.answersPerQuestion);
    text += field(quiz.quizName) + field(quiz.creatorName) + field(quiz.explanation) +
            field(quiz.firstAnswerLabel) + field(quiz.secondAnswerLabel);
    for (const SourceQuestion& q : quiz.questions) {
        text += field(q.answer);
        if (quiz.answersPerQuestion == 2) text += field(q.secondAnswer);
        text += field(q.location);
    }
    text += byteOf(quiz.commentMode);
    if (quiz.commentMode >= 2) {
        for (const SourceQuestion& q : quiz.questions) {
            text += field(q.comment);
            if (quiz.commentMode == 3) text += field("");
        }
    }
    text += byteOf(quiz.backgroundRed);
    text += byteOf(quiz.backgroundGreen);
    text += byteOf(quiz.backgroundBlue);
    return text;
}

std::string codesText(const QuizSource& quiz) {
    std::string text;
    if (quiz.codes) {
        for (const std::string& line : *quiz.codes) text += line + "\r\n";
    }
    // An empty stream cannot be encoded; one empty line reads as no code lines.
    return text.empty() ? "\r\n" : text;
}
