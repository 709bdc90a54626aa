#pragma once
// A quiz as one web page: a single HTML file that plays it in any browser,
// with everything inside (the page's style and script, the grading module,
// the quiz's encoded definition and code lines and its pictures as the quiz
// stores them) and a Content-Security-Policy that forbids every request.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/quiz_executable.h"
#include "authoring/quiz_resources.h"

// The page's files and the compiled grading module. The build puts the real
// ones in the programs that export pages (builtInWebPageAssets, web/).
struct WebPageAssets {
    std::string_view page;    // the HTML template, with {{NAME}} placeholders
    std::string_view style;
    std::string_view script;
    std::string_view api;     // the module's thin wrapper
    std::string_view platform;  // the talk with a learning platform (SCORM 1.2)
    std::string_view module;  // the module, its WebAssembly inside
};
const WebPageAssets& builtInWebPageAssets();

// What the page carries of a quiz: the resources the player reads.
struct WebQuiz {
    std::vector<std::uint8_t> definition;                  // PATCH 104 as stored
    std::optional<std::vector<std::uint8_t>> codes;        // PATCH 105 as stored; none when absent
    std::vector<std::optional<Resource>> pictures;         // question i's at i
};

WebQuiz webQuizOf(const QuizExecutable& quiz);
WebQuiz webQuizOf(const QuizResources& quiz);

struct WebPage {
    std::string html;
    std::string error;  // one line; empty when the page was made
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// `version` goes into the page's generator line; `passMark` (a percentage
// from 0 to 100), for a learning platform, says when the attempt is passed.
WebPage webPage(const WebQuiz& quiz, const WebPageAssets& assets, std::string_view version,
                std::optional<int> passMark = std::nullopt);

// Whether `passMark` is a whole percentage a platform takes (0 to 100).
bool validPassMark(int passMark);

// The quiz's name as the player reads it from the definition, in UTF-8.
std::string webQuizName(const WebQuiz& quiz);

// The key the page keeps its answers under: a digest of the quiz's content,
// so that two quizzes never share answers and a changed quiz starts afresh.
std::string webQuizKey(const WebQuiz& quiz);
