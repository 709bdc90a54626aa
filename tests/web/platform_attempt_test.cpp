// What a learning platform keeps of an attempt: the score, the answers as
// suspend data (written, measured against Moodle's 4,096 characters, cut down
// when over, read back from whatever a platform hands back), and a game
// resumed from it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "authoring/quiz_resources.h"
#include "authoring/web_page.h"
#include "resources/contract_ids.h"
#include "session/progress_format.h"
#include "web/platform_attempt.h"
#include "session/quiz_session.h"

namespace {

using namespace controlid;

TEST(PlatformAttempt, ScoreIsTheRoundedPercentageOfQuestionsSolved) {
    const struct {
        int solved;
        int questions;
        int score;
    } cases[] = {{0, 12, 0}, {1, 12, 8}, {1, 8, 13}, {1, 3, 33}, {2, 3, 67}, {12, 12, 100}, {96, 96, 100}, {0, 0, -1}};
    for (const auto& c : cases) EXPECT_EQ(platformScore(c.solved, c.questions), c.score) << c.solved << " / " << c.questions;
}

TEST(PlatformAttempt, StatusIsPassedFromThePassMarkOrCompletedOnceAllAreSolved) {
    const struct {
        int solved;
        int questions;
        int passMark;
        std::string_view status;
    } cases[] = {
        {11, 12, NoPassMark, "incomplete"}, {12, 12, NoPassMark, "completed"}, {0, 0, NoPassMark, "completed"},
        {9, 12, 80, "incomplete"},  // 75 %
        {10, 12, 80, "passed"},     // 83 %
        {12, 12, 80, "passed"},     {0, 12, 0, "passed"},   {11, 12, 100, "incomplete"},
        {12, 12, 100, "passed"},    {2, 3, 67, "passed"},   {0, 0, 50, "incomplete"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lessonStatus(c.solved, c.questions, c.passMark), c.status) << c.solved << " / " << c.questions << ", pass " << c.passMark;
    }
}

std::vector<Text> textsOf(const std::vector<std::string>& answers) { return {answers.begin(), answers.end()}; }

TEST(PlatformAttempt, AnswersAreWrittenAsPlainAsciiAndReadBack) {
    const struct {
        std::vector<std::string> answers;
        std::string data;
    } cases[] = {
        {{"SOLEIL", "lune", "", "TOUR EIFFEL"}, "Z1|SOLEIL|lune||TOUR EIFFEL"},
        {{"SOLEIL", "", ""}, "Z1|SOLEIL"},
        {{"", "", ""}, "Z1"},
        {{}, "Z1"},
        {{"a|b", "50%", "\xC9T\xC9", "l'\x9C" "uf", "tab\there", "~ ! \"#"}, "Z1|a%7Cb|50%25|%C9T%C9|l'%9Cuf|tab%09here|~ ! \"#"},
    };
    for (const auto& c : cases) {
        const std::vector<Text> answers = textsOf(c.answers);
        const SuspendData data = suspendDataOf(answers, {}, SuspendDataLimit);
        EXPECT_EQ(data.text, c.data);
        EXPECT_EQ(data.leftOut, 0);
        std::vector<Text> typed = answers;
        while (!typed.empty() && typed.back().empty()) typed.pop_back();
        EXPECT_EQ(progressOfSuspendData(data.text), formatProgressLines(typed)) << c.data;
    }
}

// The case the page is made for: 96 answers of 40 characters in Moodle's 4,096.
TEST(PlatformAttempt, NinetySixAnswersOfFortyCharactersFit) {
    std::vector<Text> answers;
    for (int i = 0; i < 96; ++i) answers.emplace_back(std::string(40, static_cast<char>('A' + i % 26)));
    const SuspendData data = suspendDataOf(answers, {}, SuspendDataLimit);
    EXPECT_EQ(data.text.size(), 2u + 96u * 41u) << "3,938 characters";
    EXPECT_EQ(data.leftOut, 0);
    EXPECT_EQ(progressOfSuspendData(data.text), formatProgressLines(answers));
}

// Over the limit, the unsolved answers go first, longest first; then the solved.
TEST(PlatformAttempt, OverTheLimitUnsolvedAnswersAreLeftOutFirst) {
    std::vector<Text> answers;
    std::array<bool, 96> solved{};
    for (std::size_t i = 0; i < 96; ++i) {
        solved[i] = i % 8 == 0;  // 12 solved, among 84 wrong tries
        answers.emplace_back(std::string(solved[i] ? 30 : 60 + i % 5, 'x'));
    }
    const SuspendData data = suspendDataOf(answers, solved, SuspendDataLimit);
    ASSERT_LE(data.text.size(), SuspendDataLimit);
    const std::optional<std::string> progress = progressOfSuspendData(data.text);
    ASSERT_TRUE(progress.has_value());
    const std::vector<Text> kept = parseProgressLines({reinterpret_cast<const std::uint8_t*>(progress->data()), progress->size()}, 96);
    int unsolvedKept = 0;
    std::size_t longestKept = 0;
    std::size_t shortestLeftOut = 1000;
    for (std::size_t i = 0; i < 96; ++i) {
        if (solved[i]) {
            EXPECT_EQ(kept[i], answers[i]) << "solved answer " << i + 1 << " kept";
            continue;
        }
        if (kept[i].empty()) {
            shortestLeftOut = std::min(shortestLeftOut, answers[i].size());
        } else {
            ++unsolvedKept;
            longestKept = std::max(longestKept, kept[i].size());
            EXPECT_EQ(kept[i], answers[i]) << "an answer is kept whole or left out";
        }
    }
    EXPECT_LE(longestKept, shortestLeftOut) << "the longest unsolved answers went first";
    EXPECT_EQ(data.leftOut, 84 - unsolvedKept);
    EXPECT_GT(unsolvedKept, 0) << "no more left out than needed";
    EXPECT_GT(data.text.size() + 65, SuspendDataLimit) << "one more answer would not have fitted";

    // Every answer solved and too long: the longest solved go too.
    std::vector<Text> longAnswers;
    for (int i = 0; i < 96; ++i) longAnswers.emplace_back(std::string(259, 'y'));
    const std::array<bool, 96> all = [] { std::array<bool, 96> a{}; a.fill(true); return a; }();
    const SuspendData cut = suspendDataOf(longAnswers, all, SuspendDataLimit);
    EXPECT_LE(cut.text.size(), SuspendDataLimit);
    EXPECT_EQ(cut.leftOut, 96 - 15) << "15 answers of 260 characters fit";
    EXPECT_EQ(suspendDataOf(longAnswers, all, 1).text, "Z1") << "a limit too small for any answer keeps none";
}

// Whatever the platform hands back: ours, damaged, another program's.
TEST(PlatformAttempt, SuspendDataFromThePlatformIsReadSafely) {
    const struct {
        std::string data;
        std::optional<std::string> progress;
    } cases[] = {
        {"", std::nullopt},
        {"Z", std::nullopt},
        {"z1|a", std::nullopt},
        {"Z1a|b", std::nullopt},
        {"viewed=1,2,3|lastviewedslide=31", std::nullopt},
        {"Z1", ""},
        {"Z1|", "\r\n"},
        {"Z1||b", "\r\nb\r\n"},
        {"Z1|%4|%zz|%", "%4\r\n%zz\r\n%\r\n"},
        {"Z1|%e9t%E9", "\xE9t\xE9\r\n"},
        {"Z1|a%00b%0Dc%0Ad", "abcd\r\n"},
        {"Z1|" + std::string(300, 'q'), std::string(259, 'q') + "\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(progressOfSuspendData(c.data), c.progress) << c.data;
    std::string many = "Z1";
    for (int i = 0; i < 200; ++i) many += "|a";
    std::string lines;
    for (int i = 0; i < 96; ++i) lines += "a\r\n";
    EXPECT_EQ(progressOfSuspendData(many), lines) << "no more than the 96 answer slots";
}

struct Game {
    QuizSession session;

    explicit Game(std::string_view progress) {
        QuizSource source;
        source.quizName = "Essai";
        source.answersPerQuestion = 2;
        for (const char* answer : {"PARIS", "FRANCE", "ROME", "ITALIE"}) {
            if (source.questions.empty() || !source.questions.back().secondAnswer.empty()) {
                source.questions.push_back({answer, "", "", "", ""});
            } else {
                source.questions.back().secondAnswer = answer;
            }
        }
        source.codes = std::vector<std::string>{"A", "AB"};
        const WebQuiz quiz = webQuizOf(quizResourcesOfPrepared(source, "essai.toml", {}));
        startSession(session, quiz.definition, std::span<const std::uint8_t>(*quiz.codes),
                     {reinterpret_cast<const std::uint8_t*>(progress.data()), progress.size()});
    }
};

TEST(PlatformAttempt, AGameResumesFromItsSuspendData) {
    Game first("");
    EXPECT_EQ(platformSuspendData(first.session).text, "Z1");
    moveFocus(first.session, AnswerField);
    typeText(first.session, AnswerField, "paris");
    pressKey(first.session, AnswerField, SessionKey::Enter, false);
    clickArrow(first.session, NextButton);
    moveFocus(first.session, AnswerField);
    typeText(first.session, AnswerField, "rom\xE9");  // typed, not yet graded
    EXPECT_EQ(first.session.record.solvedCount(), 1);
    const SuspendData data = platformSuspendData(first.session);
    EXPECT_EQ(data.text, "Z1|paris||rom%E9") << "a two-answer quiz's slots, the shown field kept";

    const std::optional<std::string> progress = progressOfSuspendData(data.text);
    ASSERT_TRUE(progress.has_value());
    Game again(*progress);
    EXPECT_EQ(again.session.header.textOf(ScoreLabel), " 1 / 2");
    EXPECT_EQ(again.session.header.textOf(CodeField), "A");
    EXPECT_EQ(again.session.single.textOf(AnswerField), "paris");
    EXPECT_EQ(platformSuspendData(again.session).text, data.text) << "written again the same";
}

}  // namespace
