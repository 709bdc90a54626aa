#include "tools/quizmake/web_command.h"

#include <span>

#include "authoring/quiz_executable.h"
#include "authoring/quiz_resources.h"
#include "authoring/scorm_package.h"
#include "authoring/web_page.h"
#include "common/file_access.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/output_file.h"
#include "tools/quizmake/progress_line.h"
#include "zorbel_version.h"

namespace {

bool isExecutable(const std::vector<std::uint8_t>& bytes) { return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z'; }

int writeBytes(const std::string& outputPath, std::span<const std::uint8_t> bytes) {
    if (!writeOutput(outputPath, bytes)) return fail(outputPath, "cannot write the file");
    return 0;
}

}  // namespace

int runWeb(const std::string& quizPath, const std::string& outputPath, bool scorm, std::optional<int> passMark) {
    const auto bytes = readWholeFile(quizPath);
    if (!bytes) return fail(quizPath, "cannot read the file");
    WebQuiz quiz;
    if (isExecutable(*bytes)) {
        const QuizExecutable executable = readQuizExecutable(*bytes);
        if (!executable.ok()) return fail(quizPath, executable.error);
        quiz = webQuizOf(executable);
    } else {
        ProgressLine progress{"pictures prepared"};
        const QuizResources resources = quizResourcesOfFile(quizPath, progressTo(progress));
        endProgressLine(progress);
        if (!resources.ok()) return fail(resources.subject, resources.error);
        quiz = webQuizOf(resources);
    }
    if (scorm) {
        const ScormPackage package = scormPackage(quiz, builtInWebPageAssets(), ZORBEL_VERSION_TEXT, passMark);
        if (!package.ok()) return fail(quizPath, package.error);
        return writeBytes(outputPath, package.zip);
    }
    const WebPage page = webPage(quiz, builtInWebPageAssets(), ZORBEL_VERSION_TEXT);
    if (!page.ok()) return fail(quizPath, page.error);
    return writeBytes(outputPath, {reinterpret_cast<const std::uint8_t*>(page.html.data()), page.html.size()});
}
