#include "session/quiz_session.h"

#include "grading/grading_ops.h"
#include "grading/verdict.h"
#include "resources/contract_ids.h"
#include "resources/home_page.h"
#include "session/progress_format.h"
#include "session/question_order.h"

namespace {

using namespace controlid;

bool hasQuestions(const QuizSession& s) { return s.record.questionCount > 0; }
int slotTotal(const QuizSession& s) { return answerSlotCount(s.record); }

bool isOverviewField(const QuizSession& s, int control) {
    return control > OverviewFieldBase && control <= OverviewFieldBase + slotTotal(s);
}

Text& slotText(QuizSession& s, int slot) { return s.record.typedAnswers[static_cast<std::size_t>(slot - 1)]; }

Text& shownSlot(QuizSession& s) { return slotText(s, firstSlotOf(s.currentQuestion, s.record.answersPerQuestion)); }

void gradeShown(QuizSession& s) {
    if (hasQuestions(s)) gradeSingleQuestion(s.record, s.single, s.header, s.currentQuestion);
}

void gradeSlot(QuizSession& s, int slot) {
    gradeOverviewField(s.record, s.overview, s.header, OverviewFieldBase + slot);
}

// The field's text goes into the slot of the question shown; copied, not graded.
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
    const int slots = slotTotal(s);
    for (int question = 1; question <= s.record.questionCount; ++question) {
        for (int k = 1; k <= answers; ++k) {
            const int slot = (question - 1) * answers + k;
            if (slot > slots) break;
            s.overview.add(OverviewFieldBase + slot, saved[static_cast<std::size_t>(slot - 1)].view());
            s.overview.add(OverviewVerdictBase + slot, "?");
            gradeSlot(s, slot);
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

void moveTo(QuizSession& s, int index) {
    if (index < 0 || index >= s.record.questionCount) return;
    keepAnswerField(s);
    s.currentQuestion = index;
    s.effects.questionShown = true;
    fillAndGrade(s);
}

// Every slot travels, so a two-answer quiz keeps its second answers.
void carryAnswersToOverview(QuizSession& s) {
    keepAnswerField(s);
    for (int slot = 1; slot <= slotTotal(s); ++slot) {
        s.overview.setText(OverviewFieldBase + slot, slotText(s, slot).view());
        gradeSlot(s, slot);
    }
}

void carryAnswersBack(QuizSession& s) {
    for (int slot = 1; slot <= slotTotal(s); ++slot) slotText(s, slot) = s.overview.text(OverviewFieldBase + slot);
    fillAndGrade(s);
}

// F1: the text goes into every field not yet right, the focus passing through
// each (every field it leaves is graded), then back to where F1 was pressed.
// When it never moved (the field is the only one not right), that field is
// graded all the same.
void copyAnswerToUnsolved(QuizSession& s, int slot) {
    const int source = OverviewFieldBase + slot;
    const Text text = s.overview.text(source);
    bool moved = false;
    for (int i = 1; i <= slotTotal(s); ++i) {
        if (s.overview.textOf(OverviewVerdictBase + i) == verdictText(Verdict::Right)) continue;
        s.overview.setText(OverviewFieldBase + i, text.view());
        if (s.focus != OverviewFieldBase + i) moved = true;
        moveFocus(s, OverviewFieldBase + i);
    }
    moveFocus(s, source);
    if (!moved) gradeSlot(s, slot);
}

void tabFrom(QuizSession& s, int slot, bool backwards) {
    const int total = slotTotal(s);
    const int next = nextSlot(slot, total, backwards ? -1 : 1);
    if (next == 1) {
        s.effects.scrolls.push_back({OverviewScroll::Top, 1});
    } else if (next == total) {
        s.effects.scrolls.push_back({OverviewScroll::Bottom, total});
    } else {
        s.effects.scrolls.push_back({OverviewScroll::ShowSlot, next});
    }
    moveFocus(s, OverviewFieldBase + next);
}

void pressInAnswerField(QuizSession& s, SessionKey key) {
    switch (key) {
        case SessionKey::Enter:
            gradeShown(s);  // the slot keeps its old text until the field is left
            break;
        case SessionKey::F2:
            s.effects.saveRequested = true;
            break;
        case SessionKey::F3:
            // As if the focus had left the field for the main window first,
            // so that its grading comes before the overview's.
            moveFocus(s, FocusElsewhere);
            switchView(s);
            break;
        default:
            break;  // Tab, F1 and the rest do nothing here
    }
}

void pressInOverviewField(QuizSession& s, int field, SessionKey key, bool shift) {
    const int slot = field - OverviewFieldBase;
    switch (key) {
        case SessionKey::Enter: gradeSlot(s, slot); break;
        case SessionKey::Tab: tabFrom(s, slot, shift); break;
        case SessionKey::Up:
        case SessionKey::PageUp: s.effects.scrolls.push_back({OverviewScroll::PageUp, 0}); break;
        case SessionKey::Down:
        case SessionKey::PageDown: s.effects.scrolls.push_back({OverviewScroll::PageDown, 0}); break;
        case SessionKey::F1: copyAnswerToUnsolved(s, slot); break;
        case SessionKey::F2: s.effects.saveRequested = true; break;
        case SessionKey::F3: switchView(s); break;
        default: break;
    }
}

}  // namespace

bool keyActs(KeyStroke stroke) { return stroke == KeyStroke::Up || stroke == KeyStroke::AltDown; }

bool keyIsTheGames(int control, SessionKey key) {
    const bool field = control == AnswerField ||
                       (control > OverviewFieldBase && control <= OverviewFieldBase + MaxAnswerSlots);
    switch (key) {
        case SessionKey::F1:
        case SessionKey::F2:
        case SessionKey::F3: return true;
        case SessionKey::Enter:
        case SessionKey::Tab: return field;
        case SessionKey::PageUp:
        case SessionKey::PageDown: return field && control != AnswerField;  // the overview pages itself
        default: return false;
    }
}

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
    beginSession(session, progress);
    return outcome;
}

void beginSession(QuizSession& session, std::span<const std::uint8_t> progress) {
    const std::vector<Text> saved = parseProgressLines(progress, slotTotal(session));
    createHeader(session);
    createOverview(session, saved);
    // The overview's first field takes the focus as its panel is made (its
    // first tab stop) and gives it up once the single view is built: it is
    // graded once more then, which can show its question's comment.
    if (slotTotal(session) > 0) session.focus = OverviewFieldBase + 1;
    createSingleQuestion(session, saved);
    moveFocus(session, FocusElsewhere);
}

void typeText(QuizSession& session, int field, std::string_view text) {
    if (field == AnswerField) {
        session.single.setText(field, text);
    } else if (isOverviewField(session, field)) {
        session.overview.setText(field, text);
    }
}

// Whichever view is shown: a hidden view's field keeps the focus until the
// switch's last step takes it, and is graded then.
void moveFocus(QuizSession& session, int control) {
    const int left = session.focus;
    if (left == control) return;
    session.focus = control;
    if (left == AnswerField) {
        keepAnswerField(session);
        gradeShown(session);
    } else if (isOverviewField(session, left)) {
        gradeSlot(session, left - OverviewFieldBase);
    }
}

void pressKey(QuizSession& session, int control, SessionKey key, bool shift) {
    if (control == FocusElsewhere) {
        if (key == SessionKey::F3) switchView(session);  // the main window swallows every other key
        return;
    }
    moveFocus(session, control);
    if (control == AnswerField && !session.overviewShown) {
        pressInAnswerField(session, key);
    } else if (isOverviewField(session, control) && session.overviewShown) {
        pressInOverviewField(session, control, key, shift);
    }
}

void clickArrow(QuizSession& session, int button) {
    if (session.overviewShown) return;
    moveFocus(session, button);
    const int count = session.record.questionCount;
    if (button == NextButton) moveTo(session, nextQuestion(session.currentQuestion, count));
    if (button == PreviousButton) moveTo(session, previousQuestion(session.currentQuestion, count));
}

void chooseQuestion(QuizSession& session, int index) {
    if (session.overviewShown) return;
    moveFocus(session, QuestionSelector);
    if (index != session.currentQuestion) moveTo(session, index);
}

void clickSave(QuizSession& session) {
    moveFocus(session, SaveButton);
    session.effects.saveRequested = true;
}

void switchView(QuizSession& session) {
    if (!session.overviewShown) {
        moveFocus(session, FocusElsewhere);
        carryAnswersToOverview(session);
    } else {
        carryAnswersBack(session);
    }
    session.overviewShown = !session.overviewShown;
    session.effects.viewSwitched = true;
    moveFocus(session, FocusElsewhere);  // the overview's field loses it last, and is graded then
}

SessionEffects takeEffects(QuizSession& session) {
    SessionEffects taken;
    std::swap(taken, session.effects);
    return taken;
}

std::vector<Text> currentAnswers(QuizSession& session) {
    const int slots = slotTotal(session);
    std::vector<Text> answers;
    answers.reserve(static_cast<std::size_t>(slots));
    if (session.overviewShown) {
        for (int slot = 1; slot <= slots; ++slot) answers.push_back(session.overview.text(OverviewFieldBase + slot));
    } else {
        keepAnswerField(session);
        for (int slot = 1; slot <= slots; ++slot) answers.push_back(slotText(session, slot));
    }
    return answers;
}

std::optional<std::string> progressBytes(QuizSession& session) {
    if (slotTotal(session) == 0) return std::nullopt;
    return formatProgressLines(currentAnswers(session));
}

std::vector<bool> solvedBySlot(const QuizSession& session) {
    const int perQuestion = session.record.answersPerQuestion == 2 ? 2 : 1;
    std::vector<bool> solved(static_cast<std::size_t>(slotTotal(session)));
    for (std::size_t slot = 0; slot < solved.size(); ++slot) {
        const QuestionEntry* question = questionAt(session.record, static_cast<int>(slot) / perQuestion);
        solved[slot] = question != nullptr && question->solved == 1;
    }
    return solved;
}
