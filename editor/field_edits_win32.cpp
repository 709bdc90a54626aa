#include "editor/field_edits_win32.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "editing/text_entry.h"
#include "editor/controls_win32.h"
#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/editor_state_win32.h"
#include "editor/text_win32.h"
#include "picture_preparation/picture_batch.h"
#include "resources/contract_ids.h"

namespace {

std::optional<QuizText> quizTextOf(int id) {
    switch (id) {
        case atelierid::QuizName: return QuizText::Name;
        case atelierid::Creator: return QuizText::Creator;
        case atelierid::Explanation: return QuizText::Explanation;
        case atelierid::FirstAnswerLabel: return QuizText::FirstAnswerLabel;
        case atelierid::SecondAnswerLabel: return QuizText::SecondAnswerLabel;
        default: return std::nullopt;
    }
}

std::optional<QuestionText> questionTextOf(int id) {
    switch (id) {
        case atelierid::ExpectedAnswer: return QuestionText::Answer;
        case atelierid::SecondAnswer: return QuestionText::SecondAnswer;
        case atelierid::Location: return QuestionText::Location;
        case atelierid::Comment: return QuestionText::Comment;
        default: return std::nullopt;
    }
}

// The field shows what the document holds again, the caret at its end.
void restoreField(int id, const std::wstring& text) {
    editor.filling = true;
    HWND field = control(id);
    setWindowText(field, text);
    const auto end = static_cast<LPARAM>(text.size());
    SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(end), end);
    editor.filling = false;
}

// The field shows its text as the rule made it, the caret where it was in
// what was entered (after what was before it, itself mended).
void showEnteredText(int id, std::wstring_view entered, const std::string& kept) {
    HWND field = control(id);
    DWORD caret = 0;
    SendMessageW(field, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    std::size_t before = std::min<std::size_t>(caret, entered.size());
    if (before > 0 && before < entered.size() && IS_LOW_SURROGATE(entered[before])) ++before;
    const auto at = static_cast<LPARAM>(widen(enteredText(narrow(entered.substr(0, before))).text).size());
    editor.filling = true;
    setWindowText(field, widen(kept));
    SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(at), at);
    editor.filling = false;
}

Refusal applyField(int id, const std::string& text) {
    if (const auto field = quizTextOf(id)) return setQuizText(editor.document, *field, text);
    if (const auto field = questionTextOf(id)) {
        if (editor.selected < 0) return {};
        return setQuestionText(editor.document, static_cast<std::size_t>(editor.selected), *field, text);
    }
    if (id == atelierid::CodeLines) return setCodeLines(editor.document, text);
    return {};
}

std::wstring documentText(int id) {
    if (const auto field = quizTextOf(id)) return widenCp1252(quizText(editor.document, *field));
    if (const auto field = questionTextOf(id)) {
        return widenCp1252(questionText(editor.document, static_cast<std::size_t>(editor.selected), *field));
    }
    return widen(codeLinesText(editor.document));
}

void afterEdit(int id) {
    if (id == atelierid::ExpectedAnswer || id == atelierid::SecondAnswer) showListMarks();
    if (id == atelierid::QuizName || id == atelierid::Creator || id == atelierid::Explanation) showHeaderNotes();
    if (id == atelierid::ExpectedAnswer || id == atelierid::SecondAnswer) showTrial();
    showCaption();
}

}  // namespace

void onFieldChanged(int id) {
    if (editor.filling) return;
    if (id == atelierid::TryField) {
        showTrial();
        return;
    }
    // Typed and pasted alike: the field's whole text goes through the rule.
    const std::wstring shown = windowText(control(id));
    const std::string typed = narrow(shown);
    const EnteredText entered = enteredText(typed);
    // Accents typed apart are joined without a note: the text is compared, not the changes.
    if (entered.text != typed) showEnteredText(id, shown, entered.text);
    if (const Refusal refusal = applyField(id, entered.text); !refusal.empty()) {
        restoreField(id, documentText(id));
        showFieldNote(id, widen(refusal));
        return;
    }
    if (entered.changed()) {
        showFieldNote(id, widen(enteredTextNote(entered)));
    } else if (editor.notedFieldLeft) {
        endFieldNote({id});
    }
    afterEdit(id);
}

void onFieldLeft(int id) {
    endTyping(editor.document);
    if (id == editor.notedField) editor.notedFieldLeft = true;
}

void onAnswersPerQuestionChosen() {
    if (editor.filling) return;
    const auto chosen = static_cast<int>(SendMessageW(control(atelierid::AnswersPerQuestion), CB_GETCURSEL, 0, 0));
    if (const Refusal refusal = setAnswersPerQuestion(editor.document, chosen + 1); !refusal.empty()) {
        showSettings();
        showError(atelierWindow, widen(refusal));
        return;
    }
    showQuestion();
    showCaption();
}

void onCommentModeChosen() {
    if (editor.filling) return;
    const auto chosen = static_cast<int>(SendMessageW(control(atelierid::CommentMode), CB_GETCURSEL, 0, 0));
    if (const Refusal refusal = setCommentMode(editor.document, chosen); !refusal.empty()) {
        showSettings();
        showError(atelierWindow, widen(refusal));
        return;
    }
    showCommentModeHelp();
    showCaption();
}

void onPicturesInOverviewClicked() {
    if (editor.filling) return;
    const bool checked = SendMessageW(control(atelierid::PicturesInOverview), BM_GETCHECK, 0, 0) == BST_CHECKED;
    setPicturesInOverview(editor.document, checked);
    showCaption();
}

void chooseBackground() {
    const QuizSettings& quiz = editor.document.quiz;
    const auto chosen = chooseColour(atelierWindow, RGB(quiz.backgroundRed, quiz.backgroundGreen, quiz.backgroundBlue));
    if (!chosen) return;
    setBackground(editor.document, Rgb{GetRValue(*chosen), GetGValue(*chosen), GetBValue(*chosen)}, preparePictures);
    showSwatch();
    showPicturesAgain();
    showCaption();
}
