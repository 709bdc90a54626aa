#include "tools/quizmake/quiz_commands.h"

#include <filesystem>

#include "authoring/cp1252.h"
#include "editing/grading_preview.h"
#include "authoring/pe_resources.h"
#include "authoring/quiz_executable.h"
#include "authoring/quiz_resources.h"
#include "common/file_access.h"
#include "common/utf8_path.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/output_file.h"
#include "tools/quizmake/platform.h"
#include "tools/quizmake/progress_line.h"
#include "tools/quizmake/text_columns.h"

namespace {

namespace fs = std::filesystem;

// check's table, in characters: the longest description and typical answers fit.
constexpr std::size_t Indent = 2;
constexpr std::size_t DescriptionWidth = 33;
constexpr std::size_t TypedWidth = 24;
constexpr std::size_t VerdictWidth = 16;

// Each picture under the file name its question gives it.
int writePictures(const QuizExecutable& quiz, const fs::path& folder) {
    for (std::size_t i = 0; i < quiz.pictures.size(); ++i) {
        if (!quiz.pictures[i]) continue;
        const std::string path = utf8Of(folder / pathFromUtf8(quiz.source.questions[i].picture));
        if (!writeOutput(path, quiz.pictures[i]->data)) return fail(path, "cannot write the file");
    }
    return 0;
}

// The source beside its pictures, named after the quiz: mon_quiz.exe gives
// mon_quiz.toml, which builds again from that folder as it is.
int writeDump(const QuizExecutable& quiz, const std::string& executablePath, const std::string& folder) {
    const fs::path out = pathFromUtf8(folder);
    std::error_code error;
    fs::create_directories(out, error);
    if (error || !fs::is_directory(out, error)) return fail(folder, "cannot create the folder");
    if (const int status = writePictures(quiz, out); status != 0) return status;
    const std::string sourcePath = utf8Of(out / pathFromUtf8(executablePath).filename().replace_extension(".toml"));
    const std::string source = formatQuizSource(quiz.source);
    if (!writeOutput(sourcePath, {reinterpret_cast<const std::uint8_t*>(source.data()), source.size()})) {
        return fail(sourcePath, "cannot write the file");
    }
    printUtf8(Stream::Out, "quiz source written to " + sourcePath + "\n");
    return 0;
}

std::string typingRow(const CheckedTyping& t) {
    return std::string(Indent, ' ') + padded(t.description, DescriptionWidth) + " " +
           padded("\"" + cp1252ToUtf8(t.typed) + "\"", TypedWidth) + " " + padded(cp1252ToUtf8(t.singleView), VerdictWidth) +
           " " + cp1252ToUtf8(t.overview) + "\n";
}

void printChecked(const std::string& label, const CheckedQuestion& question) {
    printUtf8(Stream::Out, label + ": " + cp1252ToUtf8(question.expected) + "\n");
    for (const CheckedTyping& t : question.typings) printUtf8(Stream::Out, typingRow(t));
    // The accent advice is said as it is, after the warnings it follows.
    for (const std::string& warning : question.warnings) {
        printUtf8(Stream::Out, (warning.starts_with("advice: ") ? "  " : "  warning: ") + warning + "\n");
    }
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

int runDump(const std::string& executablePath, const std::string& folder) {
    const QuizExecutable quiz = readQuizExecutable(executablePath);
    if (!quiz.ok()) return fail(executablePath, quiz.error);
    if (!folder.empty()) return writeDump(quiz, executablePath, folder);
    printUtf8(Stream::Out, formatQuizSource(quiz.source));
    return 0;
}

int runCheck(const std::string& executablePath) {
    const QuizExecutable quiz = readQuizExecutable(executablePath);
    if (!quiz.ok()) return fail(executablePath, quiz.error);
    printUtf8(Stream::Out, padded("typed", Indent + DescriptionWidth + 1 + TypedWidth) + " " +
                               padded("single view", VerdictWidth) + " overview\n");
    const std::vector<CheckedQuestion> checked = checkQuiz(quiz.source);
    const int answers = quiz.source.answersPerQuestion;
    for (std::size_t i = 0; i < checked.size(); ++i) {
        std::string label = "question " + std::to_string(i / static_cast<std::size_t>(answers) + 1);
        if (answers == 2) label += i % 2 == 0 ? ", first answer" : ", second answer";
        printChecked(label, checked[i]);
    }
    return 0;
}
