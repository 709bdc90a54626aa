#include "tools/quizmake/quiz_commands.h"

#include <cstdio>
#include <filesystem>

#include "authoring/cp1252.h"
#include "authoring/grading_preview.h"
#include "authoring/pe_resources.h"
#include "authoring/quiz_executable.h"
#include "authoring/quiz_resources.h"
#include "common/file_access.h"
#include "common/utf8_path.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/output_file.h"
#include "tools/quizmake/platform.h"
#include "tools/quizmake/progress_line.h"

namespace {

namespace fs = std::filesystem;

// Each picture under the file name its question gives it.
int writePictures(const QuizExecutable& quiz, const std::string& folder) {
    std::error_code error;
    fs::create_directories(pathFromUtf8(folder), error);
    for (std::size_t i = 0; i < quiz.pictures.size(); ++i) {
        if (!quiz.pictures[i]) continue;
        const std::string path = utf8Of(pathFromUtf8(folder) / pathFromUtf8(quiz.source.questions[i].picture));
        if (!writeOutput(path, quiz.pictures[i]->data)) return fail(path, "cannot write the file");
    }
    return 0;
}

void printChecked(const std::string& label, const CheckedQuestion& question) {
    std::printf("%s: %s\n", label.c_str(), cp1252ToUtf8(question.expected).c_str());
    for (const CheckedTyping& t : question.typings) {
        std::printf("  %-28s %-24s %-16s %s\n", t.description.c_str(), ("\"" + cp1252ToUtf8(t.typed) + "\"").c_str(),
                    cp1252ToUtf8(t.singleView).c_str(), cp1252ToUtf8(t.overview).c_str());
    }
    for (const std::string& warning : question.warnings) std::printf("  warning: %s\n", warning.c_str());
}

}  // namespace

int runBuild(const std::string& sourcePath, const std::string& outputPath, const std::string& playerPath,
             const std::string& programPath) {
    ProgressLine progress{"pictures prepared"};
    const QuizResources quiz = quizResourcesOfFile(sourcePath, progressTo(progress));
    endProgressLine(progress);
    if (!quiz.ok()) return fail(quiz.subject, quiz.error);
    const DefaultPlayer player =
        playerPath.empty() ? defaultPlayer(programPath) : DefaultPlayer{playerPath, readWholeFile(playerPath)};
    if (!player.bytes) return fail(player.name, "cannot read the player (give it with --player)");
    const PeWriteResult built = writePeResources(*player.bytes, quiz.resources);
    if (built.error != PeError::Ok) return fail(player.name, peErrorMessage(built.error));
    if (!writeOutput(outputPath, built.image)) return fail(outputPath, "cannot write the file");
    // Said once the quiz is made: a failed build shows only what stopped it.
    for (const QuizWarning& warning : quiz.warnings) warn(warning.subject, warning.message);
    return 0;
}

int runDump(const std::string& executablePath, const std::string& pictureFolder) {
    const QuizExecutable quiz = readQuizExecutable(executablePath);
    if (!quiz.ok()) return fail(executablePath, quiz.error);
    if (!pictureFolder.empty()) {
        if (const int status = writePictures(quiz, pictureFolder); status != 0) return status;
    }
    std::fputs(formatQuizSource(quiz.source).c_str(), stdout);
    return 0;
}

int runCheck(const std::string& executablePath) {
    const QuizExecutable quiz = readQuizExecutable(executablePath);
    if (!quiz.ok()) return fail(executablePath, quiz.error);
    std::printf("%-32s %-24s %-16s %s\n", "typed", "", "single view", "overview");
    const std::vector<CheckedQuestion> checked = checkQuiz(quiz.source);
    const int answers = quiz.source.answersPerQuestion;
    for (std::size_t i = 0; i < checked.size(); ++i) {
        std::string label = "question " + std::to_string(i / static_cast<std::size_t>(answers) + 1);
        if (answers == 2) label += i % 2 == 0 ? ", first answer" : ", second answer";
        printChecked(label, checked[i]);
    }
    return 0;
}
