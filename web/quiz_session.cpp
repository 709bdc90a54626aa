#include "web/quiz_session.h"

#include <array>
#include <vector>

#include "grading/grading_ops.h"
#include "grading/verdict.h"
#include "panels/single_question_layout.h"
#include "resources/contract_ids.h"
#include "shell/home_page.h"
#include "shell/progress_format.h"

namespace {

using namespace controlid;

bool hasQuestions(const QuizSession& s) { return s.record.questionCount > 0; }

Text& slotText(QuizSession& s, int slot) { return s.record.typedAnswers[static_cast<std::size_t>(slot - 1)]; }

Text& shownSlot(QuizSession& s) { return slotText(s, firstSlotOf(s.currentQuestion, s.record.answersPerQuestion)); }

void gradeShown(QuizSession& s) { gradeSingleQuestion(s.record, s.single, s.header, s.currentQuestion); }

void keepAnswerField(QuizSession& s) {
    if (hasQuestions(s)) shownSlot(s) = s.single.text(AnswerField);
}

void fillAndGrade(QuizSession& s) {
    if (!hasQuestions(s)) return;
    s.single.setText(AnswerField, shownSlot(s).view());
    gradeShown(s);
}

void createHeader(QuizSession& s) {
    const QuizRecord& r = s.record;
    s.header.add(HomePageLink, HomePageText);
    s.header.add(ByLabel, "Par :");
    s.header.add(CreatorLabel, r.creatorName.view());
    s.header.add(SaveButton, "Sauver");
    s.header.add(ExplanationLabel, r.explanation.view());
    s.header.add(QuizNameLabel, r.quizName.view());
    s.header.add(CodeCaption, " Code :");
    s.header.add(ScoreLabel, scoreText(0, r.questionCount));
    s.header.add(CodeField, "");
}

// Question by question, each answer field graded as it is made; a comment
// label comes after its question's fields, hidden, as in the player.
void createOverview(QuizSession& s, const std::vector<Text>& saved) {
    const int answers = s.record.answersPerQuestion;
    const int slots = answerSlotCount(s.record);
    for (int question = 1; question <= s.record.questionCount; ++question) {
        for (int k = 1; k <= answers; ++k) {
            const int slot = (question - 1) * answers + k;
            if (slot > slots) break;
            s.overview.add(OverviewFieldBase + slot, saved[static_cast<std::size_t>(slot - 1)].view());
            s.overview.add(OverviewVerdictBase + slot, "?");
            gradeOverviewSlot(s, slot);
        }
        if (s.record.commentMode > 1) {
            const QuestionEntry* entry = questionAt(s.record, question - 1);
            s.overview.add(OverviewCommentBase + question, entry != nullptr ? entry->comment.view() : "", false);
        }
    }
}

// Every slot is restored, so that a save from this view keeps a two-answer
// quiz's second answers; then every question is graded once, in order.
void createSingleQuestion(QuizSession& s, const std::vector<Text>& saved) {
    for (std::size_t i = 0; i < saved.size(); ++i) s.record.typedAnswers[i] = saved[i];
    s.single.add(AnswerField, hasQuestions(s) ? shownSlot(s).view() : "");
    s.single.add(VerdictLabel, "?");
    s.single.add(CommentLabel, "");
    for (int i = 0; i < s.record.questionCount; ++i) {
        s.currentQuestion = i;
        s.single.setText(AnswerField, shownSlot(s).view());
        gradeShown(s);
    }
    s.currentQuestion = 0;
    fillAndGrade(s);
}

}  // namespace

SessionControls& controlsOf(QuizSession& session, SessionWindow window) {
    switch (window) {
        case SessionWindow::Header: return session.header;
        case SessionWindow::SingleQuestion: return session.single;
        case SessionWindow::Overview: return session.overview;
    }
    return session.header;
}

LoadOutcome startSession(QuizSession& session, std::span<const std::uint8_t> definition,
                         std::optional<std::span<const std::uint8_t>> codes, std::span<const std::uint8_t> progress) {
    initialiseRecord(session.record);
    const LoadOutcome outcome = loadQuizContent(session.record, definition, codes);
    const std::vector<Text> saved = parseProgressLines(progress, answerSlotCount(session.record));
    createHeader(session);
    createOverview(session, saved);
    createSingleQuestion(session, saved);
    return outcome;
}

void gradeShownQuestion(QuizSession& session) {
    if (hasQuestions(session)) gradeShown(session);
}

void leaveAnswerField(QuizSession& session) {
    keepAnswerField(session);
    gradeShownQuestion(session);
}

void showQuestion(QuizSession& session, int index) {
    if (index < 0 || index >= session.record.questionCount) return;
    keepAnswerField(session);
    session.currentQuestion = index;
    fillAndGrade(session);
}

void showNextQuestion(QuizSession& session) {
    showQuestion(session, nextQuestion(session.currentQuestion, session.record.questionCount));
}

void showPreviousQuestion(QuizSession& session) {
    showQuestion(session, previousQuestion(session.currentQuestion, session.record.questionCount));
}

void gradeOverviewSlot(QuizSession& session, int slot) {
    gradeOverviewField(session.record, session.overview, session.header, OverviewFieldBase + slot);
}

// In the player each focus change grades the field it leaves: first the one
// where F1 was pressed, then each field the text went into.
void copyAnswerToUnsolved(QuizSession& session, int slot) {
    const int slots = answerSlotCount(session.record);
    if (slot < 1 || slot > slots) return;
    const Text text = session.overview.text(OverviewFieldBase + slot);
    gradeOverviewSlot(session, slot);
    for (int i = 1; i <= slots; ++i) {
        if (session.overview.textOf(OverviewVerdictBase + i) == verdictText(Verdict::Right)) continue;
        session.overview.setText(OverviewFieldBase + i, text.view());
        gradeOverviewSlot(session, i);
    }
}

void switchView(QuizSession& session) {
    const int slots = answerSlotCount(session.record);
    if (!session.overviewShown) {
        keepAnswerField(session);
        for (int slot = 1; slot <= slots; ++slot) {
            session.overview.setText(OverviewFieldBase + slot, slotText(session, slot).view());
            gradeOverviewSlot(session, slot);
        }
    } else {
        for (int slot = 1; slot <= slots; ++slot) slotText(session, slot) = session.overview.text(OverviewFieldBase + slot);
        fillAndGrade(session);
    }
    session.overviewShown = !session.overviewShown;
}

std::vector<Text> currentAnswers(QuizSession& session) {
    const int slots = answerSlotCount(session.record);
    std::vector<Text> answers;
    if (session.overviewShown) {
        for (int slot = 1; slot <= slots; ++slot) answers.push_back(session.overview.text(OverviewFieldBase + slot));
    } else {
        keepAnswerField(session);
        for (int slot = 1; slot <= slots; ++slot) answers.push_back(slotText(session, slot));
    }
    return answers;
}

std::optional<std::string> progressBytes(QuizSession& session) {
    if (answerSlotCount(session.record) == 0) return std::nullopt;
    return formatProgressLines(currentAnswers(session));
}

SuspendData platformSuspendData(QuizSession& session) {
    const std::vector<Text> answers = currentAnswers(session);
    const int perQuestion = session.record.answersPerQuestion == 2 ? 2 : 1;
    std::array<bool, MaxAnswerSlots> solved{};
    for (std::size_t slot = 0; slot < answers.size(); ++slot) {
        const QuestionEntry* question = questionAt(session.record, static_cast<int>(slot) / perQuestion);
        solved[slot] = question != nullptr && question->solved == 1;
    }
    return suspendDataOf(answers, std::span<const bool>(solved.data(), answers.size()), SuspendDataLimit);
}
