#include "panels/single_question_panel_win32.h"

#include <string>

#include "common/app_state_win32.h"
#include "common/child_controls_win32.h"
#include "content/quiz_record.h"
#include "panels/answer_field_win32.h"
#include "panels/single_question_layout.h"
#include "panels/verdict_label_win32.h"
#include "pictures/picture_loader_win32.h"
#include "pictures/picture_workers_win32.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"
#include "panels/session_painter_win32.h"

namespace {

using namespace controlid;

constexpr UINT ResyncSelector = WM_APP + 1;
constexpr COLORREF CommentColour = RGB(255, 255, 255);

HWND control(int id) { return GetDlgItem(singleQuestionPanel, id); }

bool hasQuestions() { return quiz->questionCount > 0; }

// The picture of the question the game shows, and the selector on it.
void showQuestionPicture() {
    const Size frame{pictureFrameWidth, pictureFrameHeight};
    // The first one comes from the start-up's workers; the others are decoded here.
    HBITMAP picture = hasQuestions() ? takeQuestionPicture(FirstPictureResourceId + game->currentQuestion,
                                                           frame.width, frame.height)
                                     : nullptr;
    const Rect place = pictureFramePlace(frame, shownSize(picture));
    MoveWindow(control(PictureFrame), place.x, place.y, place.width, place.height, TRUE);
    // The frame shows the new bitmap before the one it replaces is deleted.
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageA(control(PictureFrame), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    if (previous != nullptr && previous != picture) DeleteObject(previous);
    SendMessageA(control(QuestionSelector), CB_SETCURSEL, static_cast<WPARAM>(game->currentQuestion), 0);
}

void onSelectorCommand(WORD notification) {
    if (notification == CBN_SELCHANGE) {
        const auto chosen = static_cast<int>(SendMessageA(control(QuestionSelector), CB_GETCURSEL, 0, 0));
        chooseQuestion(*game, chosen);
        paintSession();
    } else if (notification == CBN_SELENDCANCEL || notification == CBN_CLOSEUP) {
        // After the notifications of a choice, the selector shows the question shown.
        PostMessageA(singleQuestionPanel, ResyncSelector, 0, 0);
    }
}

void onCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case NextButton:
        case PreviousButton:
            clickArrow(*game, LOWORD(wParam));
            paintSession();
            break;
        case QuestionSelector:
            onSelectorCommand(HIWORD(wParam));
            break;
        case AnswerField:
            answerFieldChanged(singleQuestionPanel, wParam);
            break;
        default:
            break;
    }
}

INT_PTR onCtlColorStatic(HDC dc, HWND staticControl) {
    const int id = GetDlgCtrlID(staticControl);
    if (id == CommentLabel) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, CommentColour);
        return brushResult(asBrush(quiz->backgroundBrush));
    }
    if (id != VerdictLabel) return FALSE;
    return verdictLabelColours(dc, staticControl);
}

void createSelector(HWND panel) {
    HWND selector = createChild(panel, "combobox", "", WS_VSCROLL | CBS_DROPDOWNLIST | CBS_DISABLENOSCROLL,
                                {170, 515, 230, 150}, QuestionSelector);
    setGuiFont(selector);
    for (int i = 1; i <= quiz->questionCount; ++i) {
        const std::string item = questionItemText(i - 1);
        SendMessageA(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(selector, CB_SETCURSEL, static_cast<WPARAM>(game->currentQuestion), 0);
}

// The controls start as the game's single view stands after its start.
void initialise(HWND panel) {
    singleQuestionPanel = panel;
    const SessionControls& shown = game->single;
    createChild(panel, "STATIC", nullptr, WS_BORDER | SS_BITMAP | SS_CENTERIMAGE,
                {5, 5, pictureFrameWidth, pictureFrameHeight}, PictureFrame);
    createChild(panel, "BUTTON", "<--", WS_BORDER, {5, 490, 60, 20}, PreviousButton);
    HWND field = createChild(panel, "EDIT", Text(shown.textOf(AnswerField)).c_str(),
                             WS_BORDER | ES_CENTER | ES_AUTOHSCROLL, {170, 490, 230, 20}, AnswerField);
    SendMessageA(field, EM_LIMITTEXT, MaxTextLength, 0);
    createChild(panel, "STATIC", Text(shown.textOf(VerdictLabel)).c_str(), WS_BORDER | SS_CENTER | SS_CENTERIMAGE,
                {410, 490, 100, 20}, VerdictLabel);
    createChild(panel, "BUTTON", "-->", WS_BORDER, {585, 490, 60, 20}, NextButton);
    setGuiFont(createChild(panel, "STATIC", Text(shown.textOf(CommentLabel)).c_str(), SS_CENTER, {170, 540, 230, 40},
                           CommentLabel));
    filterAnswerField(field, nullptr);
    showQuestionPicture();
    createSelector(panel);
}

}  // namespace

INT_PTR CALLBACK singleQuestionPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise(panel);
            return TRUE;
        case WM_CTLCOLORDLG:
            return brushResult(asBrush(quiz->backgroundBrush));
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            onCommand(wParam);
            return FALSE;
        case ShowQuestionPictureRequest:
            showQuestionPicture();
            return TRUE;
        case ResyncSelector:
            SendMessageA(control(QuestionSelector), CB_SETCURSEL, static_cast<WPARAM>(game->currentQuestion), 0);
            return TRUE;
        default:
            return FALSE;
    }
}
