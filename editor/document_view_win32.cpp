#include "editor/document_view_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>

#include "authoring/cp1252.h"
#include "editing/comment_modes.h"
#include "editing/header_fit.h"
#include "editing/quiz_review.h"
#include "editor/controls_win32.h"
#include "editor/editor_ids.h"
#include "editor/editor_state_win32.h"
#include "editor/picture_view_win32.h"
#include "editor/text_win32.h"
#include "editor/thumbnails_win32.h"
#include "grading/verdict.h"
#include "resources/contract_ids.h"

namespace {

struct FillingScope {
    bool previous = editor.filling;
    FillingScope() { editor.filling = true; }
    ~FillingScope() { editor.filling = previous; }
};

void setCp1252(int id, std::string_view bytes) { setWindowText(control(id), widenCp1252(bytes)); }

bool hasSelection() {
    return editor.selected >= 0 && static_cast<std::size_t>(editor.selected) < editor.document.questions.size();
}

const DocumentQuestion* selectedQuestion() {
    return hasSelection() ? &editor.document.questions[static_cast<std::size_t>(editor.selected)] : nullptr;
}

void enableQuestionFields(bool enabled) {
    const bool two = editor.document.quiz.answersPerQuestion == 2;
    for (const int id : {atelierid::ExpectedAnswer, atelierid::Location, atelierid::Comment, atelierid::TryField}) {
        EnableWindow(control(id), enabled);
    }
    EnableWindow(control(atelierid::SecondAnswer), enabled && two);
    EnableWindow(control(atelierid::SecondAnswerLabel), two);
}

// The pictures the frame showed last, each drawn at the size it was drawn
// for: an undo and its redo show one of them again without decoding it. The
// one shown is first. Held, so that no other picture can take its address.
struct DrawnPreview {
    SharedPrepared picture;
    LONG width = -1;
    LONG height = -1;
    HBITMAP bitmap = nullptr;
};
std::array<DrawnPreview, 4> drawnPreviews;

bool isDrawnPreview(HBITMAP bitmap) {
    return std::ranges::any_of(drawnPreviews, [&](const DrawnPreview& drawn) { return drawn.bitmap == bitmap; });
}

// The picture drawn at this size, from those kept or decoded now; first in the list.
HBITMAP drawnPreview(const SharedPrepared& picture, LONG width, LONG height) {
    const auto kept = std::ranges::find_if(drawnPreviews, [&](const DrawnPreview& drawn) {
        return drawn.picture == picture && drawn.width == width && drawn.height == height;
    });
    if (kept != drawnPreviews.end()) {
        std::rotate(drawnPreviews.begin(), kept, kept + 1);
        return drawnPreviews.front().bitmap;
    }
    // The oldest gives its place; it is never the one shown, which is first.
    std::rotate(drawnPreviews.begin(), drawnPreviews.end() - 1, drawnPreviews.end());
    DrawnPreview& oldest = drawnPreviews.front();
    if (oldest.bitmap != nullptr) DeleteObject(oldest.bitmap);
    oldest.picture = picture;
    oldest.width = width;
    oldest.height = height;
    oldest.bitmap = picture != nullptr ? fittedPicture(*picture, width, height) : nullptr;
    return oldest.bitmap;
}

void showPreview(const SharedPrepared& picture) {
    HWND preview = control(atelierid::PicturePreview);
    RECT box{};
    GetClientRect(preview, &box);
    const DrawnPreview& first = drawnPreviews.front();
    const bool shown = first.picture == picture && first.width == box.right && first.height == box.bottom;
    if (shown) return;
    HBITMAP bitmap = drawnPreview(picture, box.right, box.bottom);
    // A bitmap of ours stays kept; a copy the frame made of one (a bitmap with
    // alpha, under version 6 of the controls) is the frame's to give back and ours to delete.
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageW(preview, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous != nullptr && previous != bitmap && !isDrawnPreview(previous)) DeleteObject(previous);
}

std::wstring warningsText(std::size_t question) {
    std::wstring text;
    for (const std::string& line : answerWarningLines(editor.document, question)) {
        if (!text.empty()) text += L"\r\n";
        text += widen(line);
    }
    return text;
}

}  // namespace

void showCaption() {
    const std::wstring caption =
        (isModified(editor.document) ? L"*" : L"") + documentName() + AtelierCaptionSuffix;
    SetWindowTextW(atelierWindow, caption.c_str());
}

void showSwatch() {
    if (editor.swatch != nullptr) DeleteObject(editor.swatch);
    const QuizSettings& quiz = editor.document.quiz;
    editor.swatch = CreateSolidBrush(RGB(quiz.backgroundRed, quiz.backgroundGreen, quiz.backgroundBlue));
    InvalidateRect(control(editorid::Swatch), nullptr, TRUE);
}

void showSettings() {
    const FillingScope filling;
    endFieldNote({atelierid::QuizName, atelierid::Creator, atelierid::Explanation, atelierid::FirstAnswerLabel,
                  atelierid::SecondAnswerLabel, atelierid::CodeLines});
    const QuizDocument& document = editor.document;
    setCp1252(atelierid::QuizName, document.quiz.quizName);
    setCp1252(atelierid::Creator, document.quiz.creatorName);
    setCp1252(atelierid::Explanation, document.quiz.explanation);
    setCp1252(atelierid::FirstAnswerLabel, document.quiz.firstAnswerLabel);
    setCp1252(atelierid::SecondAnswerLabel, document.quiz.secondAnswerLabel);
    SendMessageW(control(atelierid::AnswersPerQuestion), CB_SETCURSEL,
                 static_cast<WPARAM>(document.quiz.answersPerQuestion - 1), 0);
    SendMessageW(control(atelierid::CommentMode), CB_SETCURSEL, static_cast<WPARAM>(document.quiz.commentMode), 0);
    SendMessageW(control(atelierid::PicturesInOverview), BM_SETCHECK,
                 document.quiz.showPictures == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    setWindowText(control(atelierid::CodeLines), widen(codeLinesText(document)));
    showSwatch();
    showCommentModeHelp();
    showHeaderNotes();
}

void showCommentModeHelp() {
    const int mode = editor.document.quiz.commentMode;
    const bool known = mode >= 0 && mode < static_cast<int>(std::size(CommentModeTexts));
    setWindowText(control(editorid::CommentModeHelp), known ? widen(CommentModeTexts[mode].help) : L"");
}

void showHeaderNotes() {
    // Measured again only when a text changed: an undo redraws every setting.
    static std::array<std::string, 3> measured{"\x01", "", ""};
    const QuizSettings& quiz = editor.document.quiz;
    const std::array<std::string, 3> texts{quiz.quizName, quiz.creatorName, quiz.explanation};
    if (texts == measured) return;
    measured = texts;
    std::wstring notes;
    for (const std::string& note : headerCutNotes(quiz)) notes += (notes.empty() ? L"" : L"\r\n") + widen(note);
    setWindowText(control(editorid::HeaderNotes), notes);
}

void showQuestionList(int selectQuestion) {
    const FillingScope filling;
    HWND list = control(atelierid::QuestionList);
    const int count = static_cast<int>(editor.document.questions.size());
    // A virtual list: it holds no items, only their number; texts and
    // thumbnails are asked for as items are drawn (LVN_GETDISPINFO).
    ListView_SetItemCountEx(list, count, 0);
    fitQuestionListColumn();
    InvalidateRect(list, nullptr, TRUE);
    makeThumbnailsBehind(preparedPictures(editor.document));
    editor.selected = count == 0 ? -1 : std::clamp(selectQuestion, 0, count - 1);
    if (editor.selected >= 0) {
        ListView_SetItemState(list, editor.selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, editor.selected, FALSE);
    }
    showQuestion();
}

void showListItem(int question) { ListView_RedrawItems(control(atelierid::QuestionList), question, question); }

void showListMarks() { InvalidateRect(control(atelierid::QuestionList), nullptr, FALSE); }

void showQuestion() {
    const FillingScope filling;
    endFieldNote({atelierid::ExpectedAnswer, atelierid::SecondAnswer, atelierid::Location, atelierid::Comment});
    const DocumentQuestion* question = selectedQuestion();
    setCp1252(atelierid::ExpectedAnswer, question != nullptr ? question->answer : "");
    setCp1252(atelierid::SecondAnswer, question != nullptr ? question->secondAnswer : "");
    setCp1252(atelierid::Location, question != nullptr ? question->location : "");
    setCp1252(atelierid::Comment, question != nullptr ? question->comment : "");
    showPreview(question != nullptr ? question->prepared : nullptr);
    enableQuestionFields(question != nullptr);
    showTrial();
}

void showTrial() {
    const DocumentQuestion* question = selectedQuestion();
    std::string expected = question != nullptr ? question->answer : "";
    // What the player's ANSI field would hold: characters it cannot take arrive as "?".
    std::string typed;
    for (const wchar_t c : windowText(control(atelierid::TryField))) {
        const Cp1252Text one = utf8ToCp1252(narrow(std::wstring(1, c)));
        typed += one.ok() ? one.bytes : "?";
    }
    const bool none = question == nullptr;
    setCp1252(atelierid::SingleViewVerdict, none ? "?" : verdictText(gradeAnswer(expected, typed, false)));
    setCp1252(atelierid::OverviewVerdict, none ? "?" : verdictText(gradeAnswer(expected, typed, true)));
    setWindowText(control(atelierid::Warnings), none ? std::wstring() : warningsText(static_cast<std::size_t>(editor.selected)));
}

void showPicturesAgain() {
    InvalidateRect(control(atelierid::QuestionList), nullptr, TRUE);
    showQuestion();
}

void showDocument(int selectQuestion) {
    forgetThumbnails();
    // Begun before the fields are filled: the rows drawn first are the first ones.
    makeThumbnailsBehind(preparedPictures(editor.document));
    showDocumentAgain(selectQuestion);
}

void showDocumentAgain(int selectQuestion) {
    showSettings();
    showQuestionList(selectQuestion);
    showCaption();
}
