#include "content/definition_parser.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

inline constexpr std::uint8_t CarriageReturn = 13;

std::string_view asChars(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

class DefinitionCursor {
public:
    explicit DefinitionCursor(std::span<const std::uint8_t> text) : text_(text) {}

    [[nodiscard]] bool atEnd() const { return position_ >= text_.size(); }

    std::optional<std::uint8_t> byte() {
        if (atEnd()) return std::nullopt;
        return text_[position_++];
    }

    Text field() {
        Text value = readField(text_, position_);
        if (!atEnd()) ++position_;  // the separator
        return value;
    }

private:
    std::span<const std::uint8_t> text_;
    std::size_t position_ = 0;
};

void readComments(QuizRecord& record, DefinitionCursor& cursor, int entries, int keptQuestions) {
    const int mode = record.commentMode;
    if (mode != 2 && mode != 3 && mode != 4) return;
    for (int k = 0; k < entries && !cursor.atEnd(); ++k) {
        const Text comment = cursor.field();
        if (mode == 3) cursor.field();  // the further text is not used
        if (k < keptQuestions) {
            if (QuestionEntry* question = questionAt(record, k)) question->comment = comment;
        }
    }
}

}  // namespace

Text readField(std::span<const std::uint8_t> text, std::size_t& position) {
    const std::size_t start = std::min(position, text.size());
    std::size_t end = start;
    while (end < text.size() && text[end] != FieldSeparator) ++end;
    position = end;
    return Text(asChars(text.subspan(start, end - start)));
}

void parseDefinition(QuizRecord& record, std::span<const std::uint8_t> decoded) {
    DefinitionCursor cursor(decoded);
    cursor.byte();  // not interpreted
    if (const auto picture = cursor.byte()) record.showPictures = *picture - 1;
    const int declaredCount = cursor.byte().value_or(0);
    if (const auto answers = cursor.byte()) record.answersPerQuestion = *answers == 2 ? 2 : 1;

    record.quizName = cursor.field();
    record.creatorName = cursor.field();
    record.explanation = cursor.field();
    record.firstAnswerLabel = cursor.field();
    record.secondAnswerLabel = cursor.field();

    record.answersPerQuestion = record.answersPerQuestion == 2 ? 2 : 1;
    const bool twoAnswers = record.answersPerQuestion == 2;
    const int keepable = MaxAnswerSlots / record.answersPerQuestion;
    record.questions.release();
    int recordsRead = 0;
    for (; recordsRead < declaredCount && !cursor.atEnd(); ++recordsRead) {
        const Text answer = cursor.field();
        const Text secondAnswer = twoAnswers ? cursor.field() : Text{};
        const Text location = cursor.field();
        if (recordsRead < keepable) addQuestion(record, answer.view(), secondAnswer.view(), location.view());
    }
    const int kept = std::min(recordsRead, keepable);
    record.questionCount = kept;

    if (const auto mode = cursor.byte()) record.commentMode = *mode;
    readComments(record, cursor, recordsRead, kept);

    const auto red = cursor.byte();
    const auto green = cursor.byte();
    const auto blue = cursor.byte();
    if (red && green && blue) setBackgroundColour(record, {*red, *green, *blue});
}

void parseCodes(QuizRecord& record, std::span<const std::uint8_t> decoded) {
    const int lines = std::clamp(record.questionCount, 0, MaxCodeLines);
    std::size_t position = 0;
    for (int i = 0; i < lines; ++i) {
        const std::size_t start = std::min(position, decoded.size());
        std::size_t end = start;
        while (end < decoded.size() && decoded[end] != CarriageReturn) ++end;
        record.codes[static_cast<std::size_t>(i)].assign(asChars(decoded.subspan(start, end - start)));
        position = end + 2;  // the CR and the LF after it
    }
}

void fillDefaults(QuizRecord& record) {
    record.quizName.assign("Nom du zorbel");
    record.creatorName.assign("Createur zorbel");
    record.explanation.assign("Explications du zorbel");
    record.firstAnswerLabel.assign("TEST");
    record.secondAnswerLabel.assign("TEST");
    record.questionCount = 7;
    record.answersPerQuestion = 1;
    record.commentMode = 3;
    record.showPictures = 1;
    setBackgroundColour(record, DefaultQuizBackground);
    record.questions.release();
    addQuestion(record, "test", "test", "emplacement");
    addQuestion(record, "test", "test", "emplacement");
}
