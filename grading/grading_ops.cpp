#include "grading/grading_ops.h"

#include "grading/text_measures.h"
#include "grading/verdict.h"
#include "resources/contract_ids.h"

namespace {

constexpr std::string_view NoCode = "      ";

bool holdsExpectedAnswer(const Controls& overview, int fieldId, const Text& expected) {
    Text typed = overview.text(fieldId);
    trimSpaces(typed);
    upperAscii(typed);
    Text wanted = expected;
    upperAscii(wanted);
    return typed == wanted;
}

const Text& expectedAnswerOf(const QuestionEntry& question, bool secondAnswer) {
    return secondAnswer ? question.secondAnswer : question.answer;
}

// Every answer field of question `index` holds its expected answer.
bool questionFullyAnswered(const Controls& overview, int perQuestion, int index,
                           const QuestionEntry& question) {
    for (int k = 1; k <= perQuestion; ++k) {
        const int fieldId = controlid::OverviewFieldBase + perQuestion * index + k;
        if (!holdsExpectedAnswer(overview, fieldId, expectedAnswerOf(question, k > 1))) return false;
    }
    return true;
}

void revealAllWhenEverySlotRight(QuizRecord& record, Controls& overview) {
    const int slots = answerSlotCount(record);
    for (int s = 1; s <= slots; ++s) {
        if (overview.text(controlid::OverviewVerdictBase + s) != verdictText(Verdict::Right)) return;
    }
    record.allCommentsShown = 1;
    for (int j = 1; j <= record.questionCount; ++j) overview.setVisible(controlid::OverviewCommentBase + j, true);
}

}  // namespace

std::string scoreText(int solved, int questionCount) {
    std::string text = " ";
    text += std::to_string(solved);
    text += " / ";
    text += std::to_string(questionCount);
    return text;
}

void refreshScore(const QuizRecord& record, Controls& header) {
    const int solved = record.solvedCount();
    header.setText(controlid::ScoreLabel, scoreText(solved, record.questionCount));
    if (solved <= 0 || solved > MaxCodeLines) {
        header.setText(controlid::CodeField, NoCode);
    } else {
        header.setText(controlid::CodeField, record.codes[static_cast<std::size_t>(solved - 1)].view());
    }
}

void gradeSingleQuestion(QuizRecord& record, Controls& panel, Controls& header, int questionIndex) {
    if (questionIndex < 0 || questionIndex > record.questionCount - 1) return;
    QuestionEntry* question = questionAt(record, questionIndex);
    if (question == nullptr) return;
    question->solved = 0;
    const Text typed = panel.text(controlid::AnswerField);
    panel.setText(controlid::CommentLabel, "");
    const Verdict verdict = gradeAnswer(question->answer.view(), typed.view(), false);
    if (verdict == Verdict::Right) {
        question->solved = 1;
        panel.setText(controlid::CommentLabel, question->comment.view());
    }
    panel.setText(controlid::VerdictLabel, verdictText(verdict));
    refreshScore(record, header);
}

void gradeOverviewField(QuizRecord& record, Controls& overview, Controls& header, int fieldId) {
    const int perQuestion = record.answersPerQuestion == 2 ? 2 : 1;
    const int slot = fieldId - controlid::OverviewFieldBase;
    if (slot < 1 || slot > answerSlotCount(record)) return;
    const int index = (slot - 1) / perQuestion;
    QuestionEntry* question = questionAt(record, index);
    if (question == nullptr) return;
    const bool secondAnswer = (slot - 1) % perQuestion != 0;

    const Text typed = overview.text(fieldId);
    const Verdict verdict = gradeAnswer(expectedAnswerOf(*question, secondAnswer).view(), typed.view(), true);
    if (verdict == Verdict::Right) question->solved = 1;
    overview.setText(controlid::OverviewVerdictBase + slot, verdictText(verdict));

    const int commentLabel = controlid::OverviewCommentBase + index + 1;
    if (verdict == Verdict::Right) {
        const int mode = record.commentMode;
        if ((mode == 2 || mode == 3) && questionFullyAnswered(overview, perQuestion, index, *question)) {
            overview.setVisible(commentLabel, true);
        }
        if (mode == 4 && record.allCommentsShown == 0) revealAllWhenEverySlotRight(record, overview);
    } else {
        overview.setVisible(commentLabel, false);
        record.allCommentsShown = 0;
    }
    refreshScore(record, header);
}
