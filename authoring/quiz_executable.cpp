#include "authoring/quiz_executable.h"

#include "authoring/cp1252.h"
#include "authoring/picture_resources.h"
#include "common/file_access.h"
#include "content/content_codec.h"
#include "content/quiz_loader.h"
#include "resources/contract_ids.h"

namespace {

QuizExecutable failure(std::string message) {
    QuizExecutable quiz;
    quiz.error = std::move(message);
    return quiz;
}

void copyQuestions(const QuizRecord& record, QuizSource& source) {
    int index = 0;
    for (const QuestionEntry* q = record.questions.head; q != nullptr && index < record.questionCount;
         q = q->next, ++index) {
        source.questions.push_back({q->answer.c_str(), q->secondAnswer.c_str(), q->location.c_str(), q->comment.c_str(), ""});
    }
}

// Every code line the resource holds, those past the questions too (the
// player shows one line per question, but the author wrote them all); lines
// past the last one that holds text are dropped: the player reads missing
// ones as empty. Each line is cut as the player cuts its texts.
std::vector<std::string> codeLines(std::span<const std::uint8_t> encoded) {
    const CodecOutput decoded = decodeContent(encoded);
    if (decoded.result != CodecOk) return {};
    const std::string_view text(reinterpret_cast<const char*>(decoded.buffer.get()), decoded.size);
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start < text.size() && codes.size() < static_cast<std::size_t>(MaxCodeLines)) {
        const std::size_t end = std::min(text.find('\r', start), text.size());
        codes.emplace_back(text.substr(start, std::min(end - start, static_cast<std::size_t>(MaxTextLength))));
        start = end + 2;  // the CR and the LF after it
    }
    while (!codes.empty() && codes.back().empty()) codes.pop_back();
    return codes;
}

// The source that builds this quiz again, pictures not yet named.
QuizSource sourceOf(const QuizRecord& record, const Resource* codes) {
    QuizSource source;
    source.quizName = record.quizName.c_str();
    source.creatorName = record.creatorName.c_str();
    source.explanation = record.explanation.c_str();
    source.firstAnswerLabel = record.firstAnswerLabel.c_str();
    source.secondAnswerLabel = record.secondAnswerLabel.c_str();
    source.showPictures = record.showPictures == 1 ? 1 : 0;
    source.answersPerQuestion = record.answersPerQuestion;
    source.commentMode = record.commentMode;
    source.backgroundRed = record.backgroundRed;
    source.backgroundGreen = record.backgroundGreen;
    source.backgroundBlue = record.backgroundBlue;
    copyQuestions(record, source);
    if (codes != nullptr) source.codes = codeLines(codes->data);
    return source;
}

// Each question's picture, its file name written into the question.
void takePictures(std::span<const Resource> resources, QuizExecutable& quiz) {
    for (std::size_t i = 0; i < quiz.source.questions.size(); ++i) {
        const Resource* picture = findPicture(resources, i);
        if (picture != nullptr) quiz.source.questions[i].picture = pictureFileName(*picture);
        quiz.pictures.push_back(picture != nullptr ? std::optional<Resource>(*picture) : std::nullopt);
    }
}

}  // namespace

QuizExecutable readQuizExecutable(std::span<const std::uint8_t> image) {
    const PeResourcesResult read = readPeResources(image);
    if (read.error != PeError::Ok) return failure(peErrorMessage(read.error));
    return readQuizResources(read.resources);
}

QuizExecutable readQuizResources(std::span<const Resource> resources) {
    const ResourceKey patch = ResourceKey::fromName(QuizTextResourceType);
    const Resource* definition = findResource(resources, patch, ResourceKey::fromId(DefinitionResourceId));
    if (definition == nullptr || definition->data.empty()) {
        return failure("not a quiz executable: it holds no quiz definition (PATCH 104)");
    }
    const Resource* codes = findResource(resources, patch, ResourceKey::fromId(CodesResourceId));

    QuizRecord record;
    initialiseRecord(record);
    std::optional<std::span<const std::uint8_t>> codesBytes;
    if (codes != nullptr) codesBytes = std::span<const std::uint8_t>(codes->data);
    const LoadOutcome outcome = loadQuizContent(record, definition->data, codesBytes);
    for (const LoaderMessage& message : outcome.messages) {
        // A quiz without code lines is still a quiz; damaged ones are not.
        if (message == CodesUndecodable && codes == nullptr) continue;
        const char* which = message == CodesUndecodable ? "PATCH 105: " : "PATCH 104: ";
        return failure(which + cp1252ToUtf8(message.text));
    }
    QuizExecutable quiz;
    quiz.source = sourceOf(record, codes);
    takePictures(resources, quiz);
    quiz.encodedDefinition = definition->data;
    if (codes != nullptr) quiz.encodedCodes = codes->data;
    return quiz;
}

QuizExecutable readQuizExecutable(const std::string& executablePath) {
    const auto image = readWholeFile(executablePath);
    if (!image) return failure("cannot read the file");
    return readQuizExecutable(*image);
}
