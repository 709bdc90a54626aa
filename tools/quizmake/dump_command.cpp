#include "tools/quizmake/dump_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

#include "content/quiz_loader.h"
#include "common/file_access.h"
#include "tools/quizmake/build_command.h"
#include "tools/quizmake/cp1252.h"
#include "tools/quizmake/pe_resources.h"
#include "tools/quizmake/quiz_source.h"

namespace {

constexpr int ExitBadInput = 1;

int fail(const std::string& subject, const std::string& message) {
    std::fprintf(stderr, "quizmake: %s: %s\n", subject.c_str(), message.c_str());
    return ExitBadInput;
}

// Each question's picture as the player finds it: IMG first, then RT_RCDATA.
// Its file name goes into the question, written or not.
int writePictures(const std::vector<Resource>& resources, QuizSource& source, const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!folder.empty()) fs::create_directories(folder, error);
    const int questionCount = static_cast<int>(source.questions.size());
    const ResourceKey img = ResourceKey::fromName("IMG");
    const ResourceKey rcData = ResourceKey::fromId(ResourceTypeRcData);
    for (int i = 0; i < questionCount; ++i) {
        const auto id = static_cast<std::uint16_t>(FirstPictureResourceId + i);
        const Resource* picture = findResource(resources, img, ResourceKey::fromId(id));
        const char* extension = ".jpg";
        if (picture == nullptr) {
            picture = findResource(resources, rcData, ResourceKey::fromId(id));
            extension = ".png";
        }
        if (picture == nullptr) continue;
        const std::string name = std::to_string(id) + extension;
        source.questions[static_cast<std::size_t>(i)].picture = name;
        if (folder.empty()) continue;
        const std::string path = (fs::path(folder) / name).string();
        if (!replaceFile(path, {reinterpret_cast<const char*>(picture->data.data()), picture->data.size()})) {
            return fail(path, "cannot write the file");
        }
    }
    return 0;
}

// The source that builds this quiz again. Code lines past the last one that
// holds text are dropped: the player reads missing ones as empty.
QuizSource sourceOf(const QuizRecord& record, bool hasCodes) {
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
    int index = 0;
    for (const QuestionEntry* q = record.questions.head; q != nullptr && index < record.questionCount;
         q = q->next, ++index) {
        source.questions.push_back({q->answer.c_str(), q->secondAnswer.c_str(), q->location.c_str(), q->comment.c_str(), ""});
    }
    if (hasCodes) {
        std::vector<std::string> codes;
        for (int i = 0; i < record.questionCount && i < MaxCodeLines; ++i) codes.emplace_back(record.codes[static_cast<std::size_t>(i)].c_str());
        while (!codes.empty() && codes.back().empty()) codes.pop_back();
        source.codes = std::move(codes);
    }
    return source;
}

}  // namespace

QuizExecutable readQuizExecutable(const std::string& executablePath) {
    QuizExecutable quiz;
    const auto failWith = [&](const std::string& message) {
        quiz.error = message;
        return std::move(quiz);
    };
    const auto image = readWholeFile(executablePath);
    if (!image) return failWith("cannot read the file");
    PeResourcesResult read = readPeResources(*image);
    if (read.error != PeError::Ok) return failWith(peErrorMessage(read.error));
    const ResourceKey patch = ResourceKey::fromName("PATCH");
    const Resource* definition = findResource(read.resources, patch, ResourceKey::fromId(DefinitionResourceId));
    if (definition == nullptr || definition->data.empty()) {
        return failWith("not a quiz executable: it holds no quiz definition (PATCH 104)");
    }
    const Resource* codes = findResource(read.resources, patch, ResourceKey::fromId(CodesResourceId));

    QuizRecord record;
    initialiseRecord(record);
    std::optional<std::span<const std::uint8_t>> codesBytes;
    if (codes != nullptr) codesBytes = std::span<const std::uint8_t>(codes->data);
    const LoadOutcome outcome = loadQuizContent(record, definition->data, codesBytes);
    for (const LoaderMessage& message : outcome.messages) {
        // A quiz without code lines is still a quiz; damaged ones are not.
        if (message == CodesUndecodable && codes == nullptr) continue;
        const char* which = message == CodesUndecodable ? "PATCH 105: " : "PATCH 104: ";
        return failWith(which + cp1252ToUtf8(message.text));
    }
    quiz.source = sourceOf(record, codes != nullptr);
    quiz.resources = std::move(read.resources);
    return quiz;
}

int runDump(const std::string& executablePath, const std::string& pictureFolder) {
    QuizExecutable quiz = readQuizExecutable(executablePath);
    if (!quiz.ok()) return fail(executablePath, quiz.error);
    if (const int status = writePictures(quiz.resources, quiz.source, pictureFolder); status != 0) return status;
    std::fputs(formatQuizSource(quiz.source).c_str(), stdout);
    return 0;
}
