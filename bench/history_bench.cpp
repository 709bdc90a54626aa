// The Atelier's history on a 96-question quiz: 200 changes of every kind an
// author makes (typing in a question's fields and the quiz's, removing,
// moving and turning questions, code lines, settings, the colour), the heap
// they hold (glibc's count of bytes in use), then each undone and redone one
// by one, the slowest and the median of each.
//
// Usage: history_bench QUIZ.exe

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "editing/quiz_document.h"
#include "common/file_access.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Steps = 200;

double heapMegabytes() { return static_cast<double>(mallinfo2().uordblks) / 1e6; }

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Step `i` of a session of editing, each a step of the history.
bool change(QuizDocument& document, int i) {
    const std::size_t questions = document.questions.size();
    const auto question = static_cast<std::size_t>(i * 7) % questions;
    const std::string n = std::to_string(i);
    switch (i % 10) {
        case 0: return setQuestionText(document, question, QuestionText::Answer, "REPONSE " + n).empty();
        case 1: return setQuestionText(document, question, QuestionText::Comment, "Un commentaire, " + n).empty();
        case 2: return setQuestionText(document, question, QuestionText::Location, "Lieu " + n).empty();
        case 3: return setQuizText(document, QuizText::Name, "Quiz " + n).empty();
        case 4: return moveQuestion(document, question, question == 0 ? 1 : -1);
        case 5: return turnPicture(document, question, i % 20 == 5 ? 1 : -1, preparePictures).empty();
        case 6: return setCodeLines(document, "CODE " + n + "\nSUITE " + n).empty();
        case 7: return setCommentMode(document, i % 20 == 7 ? 4 : 2).empty();
        case 8:
            setBackground(document, Rgb{static_cast<std::uint8_t>(i), 40, 90}, preparePictures);
            return true;
        default: removeQuestion(document, question); return true;
    }
}

struct Times {
    double slowest = 0;
    double median = 0;
};

Times timeEach(QuizDocument& document, bool (*step)(QuizDocument&)) {
    std::vector<double> samples;
    for (int i = 0; i < Steps; ++i) {
        const auto start = Clock::now();
        if (!step(document)) return {-1, -1};
        samples.push_back(milliseconds(Clock::now() - start));
    }
    std::sort(samples.begin(), samples.end());
    return {samples.back(), samples[samples.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: history_bench QUIZ.exe\n");
        return 2;
    }
    const auto bytes = readWholeFile(argv[1]);
    if (!bytes) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    OpenedDocument opened = documentFromExecutable(*bytes);
    if (!opened.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], opened.error.c_str());
        return 1;
    }
    QuizDocument& document = opened.document;
    const std::size_t questions = document.questions.size();
    const double before = heapMegabytes();
    const auto editing = Clock::now();
    for (int i = 0; i < Steps; ++i) {
        if (!change(document, i)) {
            std::fprintf(stderr, "change %d was refused\n", i);
            return 1;
        }
        endTyping(document);
    }
    const double editingSeconds = milliseconds(Clock::now() - editing) / 1000;
    const double held = heapMegabytes() - before;
    const Times undone = timeEach(document, undo);
    const Times redone = timeEach(document, redo);
    if (undone.slowest < 0 || redone.slowest < 0) {
        std::fprintf(stderr, "the history does not hold %d steps\n", Steps);
        return 1;
    }
    std::printf("history of %d changes on a %zu-question quiz (%s), made in %.2f s:\n", Steps, questions, argv[1],
                editingSeconds);
    std::printf("  heap held by the history: %.1f MB more\n", held);
    std::printf("  undo of one step: %.3f ms slowest, %.3f ms median\n", undone.slowest, undone.median);
    std::printf("  redo of one step: %.3f ms slowest, %.3f ms median\n", redone.slowest, redone.median);
    return 0;
}
