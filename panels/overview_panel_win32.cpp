#include "panels/overview_panel_win32.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_state_win32.h"
#include "common/child_controls_win32.h"
#include "content/quiz_record.h"
#include "panels/answer_field_win32.h"
#include "panels/overview_layout.h"
#include "panels/verdict_label_win32.h"
#include "pictures/picture_loader_win32.h"
#include "pictures/picture_workers_win32.h"
#include "resources/contract_ids.h"
#include "session/quiz_session.h"

namespace {

using namespace controlid;

constexpr int FieldBase = OverviewFieldBase;
constexpr int VerdictBase = OverviewVerdictBase;
constexpr int CommentBase = OverviewCommentBase;
constexpr int scrollUnit = 1;

// The panel's own state, from its creation on.
struct OverviewState {
    OverviewLayout placed;  // every question's controls and the content size, in content coordinates
    int scrollTarget = 0;   // the Tab target's position, for ScrollToTabTarget
};
OverviewState overview;

void postWheelStep(int delta);

int slotTotal() { return answerSlotCount(*quiz); }

SCROLLINFO scrollInfo(HWND panel, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(panel, bar, &info);
    return info;
}

void setBar(HWND panel, int bar, int content, int client) {
    const ScrollBarSetting setting = scrollBarSetting(content, client / scrollUnit);
    if (setting.fits) SetScrollPos(panel, bar, 0, FALSE);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = setting.maximum;
    info.nPage = static_cast<UINT>(std::max(setting.page, 0));
    SetScrollInfo(panel, bar, &info, TRUE);
}

void updateScrollBars(HWND panel) {
    RECT client{};
    GetClientRect(panel, &client);
    setBar(panel, SB_HORZ, overview.placed.content.width, client.right);
    setBar(panel, SB_VERT, overview.placed.content.height, client.bottom);
}

// --- Building --------------------------------------------------------------

// Question j's picture in the overview's frame; none without pictures.
HBITMAP overviewPicture(int question) {
    return takeQuestionPicture(FirstPictureResourceId - 1 + question, pictureFrameWidth, pictureFrameHeight);
}

void createAnswerFont() {
    LOGFONTA font{};
    font.lfHeight = 15;
    font.lfWeight = FW_THIN;
    quiz->answerFont = CreateFontIndirectA(&font);
}

// The fields and verdicts start as the game's overview stands after its start.
void createAnswers(HWND panel, const OverviewQuestionPlace& place, int question) {
    const int answers = quiz->answersPerQuestion;
    for (int k = 0; k < answers; ++k) {
        const int slot = (question - 1) * answers + k + 1;
        if (slot > slotTotal()) return;
        const auto index = static_cast<std::size_t>(k);
        HWND answer = createChild(panel, "Edit", Text(game->overview.textOf(FieldBase + slot)).c_str(),
                                  WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, place.fields[index],
                                  FieldBase + slot);
        SendMessageA(answer, EM_LIMITTEXT, MaxTextLength, 0);
        HWND verdict = createChild(panel, "Static", Text(game->overview.textOf(VerdictBase + slot)).c_str(), WS_BORDER | SS_CENTER | SS_CENTERIMAGE,
                                   place.verdicts[index], VerdictBase + slot);
        if (answers == 2) setGuiFont(verdict);
        SendMessageA(answer, WM_SETFONT, reinterpret_cast<WPARAM>(asFont(quiz->answerFont)), FALSE);
        // An edit control would swallow the wheel; in the overview it scrolls the panel.
        filterAnswerField(answer, postWheelStep);
    }
}

void createQuestion(HWND panel, const OverviewQuestionPlace& place, int question, HBITMAP picture) {
    if (place.picture) {
        HWND frame = createChild(panel, "STATIC", nullptr, WS_BORDER | SS_BITMAP | SS_CENTERIMAGE, *place.picture,
                                 OverviewPictureBase + question);
        SendMessageA(frame, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    } else if (picture != nullptr) {
        DeleteObject(picture);
    }
    if (place.answerNames) {
        setGuiFont(createChild(panel, "Static", quiz->firstAnswerLabel.c_str(), SS_LEFT, (*place.answerNames)[0],
                               AnswerNameLabel));
        setGuiFont(createChild(panel, "Static", quiz->secondAnswerLabel.c_str(), SS_LEFT, (*place.answerNames)[1],
                               AnswerNameLabel));
    }
    const std::string number = questionNumberText(question);
    createChild(panel, "Static", number.c_str(), SS_RIGHT, place.number, QuestionNumberLabel);
    createAnswers(panel, place, question);
    if (place.comment) {
        HWND comment = createChild(panel, "Static", "", SS_CENTER, *place.comment, CommentBase + question);
        setGuiFont(comment);
        SetWindowTextA(comment, Text(game->overview.textOf(CommentBase + question)).c_str());
        if (!game->overview.visible(CommentBase + question)) ShowWindow(comment, SW_HIDE);
    }
}

// A row's three pictures, measured even past the last question (those are
// then deleted); the ones of its questions.
std::vector<HBITMAP> takeRowPictures(int first, std::vector<std::optional<Size>>& sizes) {
    std::vector<HBITMAP> row;
    for (int j = first; j < first + 3; ++j) {
        HBITMAP picture = overviewPicture(j);
        sizes.push_back(shownSize(picture));
        if (j <= quiz->questionCount) {
            row.push_back(picture);
        } else if (picture != nullptr) {
            DeleteObject(picture);
        }
    }
    return row;
}

// Row by row, each as soon as its pictures are ready: the controls of one row
// are made while the workers decode the next rows' pictures.
void initialise(HWND panel) {
    overviewPanel = panel;
    createAnswerFont();
    const bool pictures = quiz->showPictures == 1;
    const OverviewShape shape{quiz->questionCount, quiz->answersPerQuestion, pictures, quiz->commentMode > 1,
                              {pictureFrameWidth, pictureFrameHeight}};
    std::vector<std::optional<Size>> sizes;
    for (int first = 1; first <= quiz->questionCount; first += 3) {
        const std::vector<HBITMAP> row = pictures ? takeRowPictures(first, sizes) : std::vector<HBITMAP>{};
        overview.placed = layoutOverview(shape, sizes);
        for (int j = first; j < first + 3 && j <= quiz->questionCount; ++j) {
            const auto k = static_cast<std::size_t>(j - first);
            createQuestion(panel, overview.placed.questions[static_cast<std::size_t>(j - 1)], j,
                           k < row.size() ? row[k] : nullptr);
        }
    }
    overview.placed = layoutOverview(shape, sizes);
    updateScrollBars(panel);
}

// --- Scrolling -------------------------------------------------------------

void scrollTo(HWND panel, int bar, int requested, int oldPosition) {
    const SCROLLINFO info = scrollInfo(panel, bar);
    const int limited = std::clamp(requested, info.nMin, info.nMax);
    SetScrollPos(panel, bar, limited, TRUE);
    const int now = GetScrollPos(panel, bar);
    const int moved = (oldPosition - now) * scrollUnit;
    if (bar == SB_VERT) {
        ScrollWindow(panel, 0, moved, nullptr, nullptr);
    } else {
        ScrollWindow(panel, moved, 0, nullptr, nullptr);
    }
}

ScrollBarState barState(const SCROLLINFO& info) {
    return {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos};
}

void onVerticalScroll(HWND panel, int code) {
    const SCROLLINFO info = scrollInfo(panel, SB_VERT);
    scrollTo(panel, SB_VERT, verticalScrollRequest(code, barState(info), pictureFrameHeight, overview.scrollTarget),
             info.nPos);
}

void onHorizontalScroll(HWND panel, int code) {
    const SCROLLINFO info = scrollInfo(panel, SB_HORZ);
    scrollTo(panel, SB_HORZ, horizontalScrollRequest(code, barState(info)), info.nPos);
}

// Keeps the content under the same scroll positions as far as the new range allows.
void onSize(HWND panel) {
    const int oldX = GetScrollPos(panel, SB_HORZ);
    const int oldY = GetScrollPos(panel, SB_VERT);
    updateScrollBars(panel);
    const int newX = GetScrollPos(panel, SB_HORZ);
    const int newY = GetScrollPos(panel, SB_VERT);
    if (oldX != newX || oldY != newY) {
        ScrollWindow(panel, (oldX - newX) * scrollUnit, (oldY - newY) * scrollUnit, nullptr, nullptr);
    }
}

void postWheelStep(int delta) {
    if (const auto code = wheelScrollCode(delta)) PostMessageA(overviewPanel, WM_VSCROLL, static_cast<WPARAM>(*code), 0);
}

// --- Answer fields -----------------------------------------------------------

// The content rows that a slot's question block and its field with its
// verdict occupy, from where they sit in the panel now.
struct SlotExtent {
    int blockTop, blockBottom, fieldTop, fieldBottom;
};

SlotExtent slotExtent(int slot) {
    const int answers = quiz->answersPerQuestion;
    const int question = (slot - 1) / answers;
    const int k = (slot - 1) % answers;
    const OverviewQuestionPlace& place = overview.placed.questions[static_cast<std::size_t>(question)];
    const Rect& f = place.fields[static_cast<std::size_t>(k)];
    const Rect& v = place.verdicts[static_cast<std::size_t>(k)];
    const Rect& last = place.verdicts[static_cast<std::size_t>(answers - 1)];
    return {place.rowTop, last.y + last.height, std::min(f.y, v.y), std::max(f.y + f.height, v.y + v.height)};
}

// The Tab target: the next field whole, with its question's block when it fits.
void showSlot(int slot) {
    if (slot < 1 || slot > slotTotal()) return;
    RECT client{};
    GetClientRect(overviewPanel, &client);
    const int position = GetScrollPos(overviewPanel, SB_VERT);
    const SlotExtent e = slotExtent(slot);
    overview.scrollTarget = positionShowing(position, client.bottom, e.blockTop, e.blockBottom, e.fieldTop, e.fieldBottom);
    if (overview.scrollTarget != position) SendMessageA(overviewPanel, WM_VSCROLL, ScrollToTabTarget, 0);
}

INT_PTR onCtlColorStatic(HDC dc, HWND label) {
    const int id = GetDlgCtrlID(label);
    if (id > VerdictBase && id <= VerdictBase + slotTotal()) return verdictLabelColours(dc, label);
    const bool comment = id > CommentBase && id <= CommentBase + quiz->questionCount;
    if (id != QuestionNumberLabel && id != AnswerNameLabel && !comment) return FALSE;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, overviewTextIsBlack(quiz->backgroundRed, quiz->backgroundGreen) ? RGB(0, 0, 0)
                                                                                    : RGB(255, 255, 255));
    return brushResult(asBrush(quiz->backgroundBrush));
}

}  // namespace

INT_PTR CALLBACK overviewPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise(panel);
            return TRUE;
        case WM_COMMAND:
            answerFieldChanged(panel, wParam);
            return FALSE;
        case ShowSlotRequest:
            showSlot(static_cast<int>(wParam));
            return TRUE;
        case WM_SIZE:
            onSize(panel);
            return FALSE;
        case WM_VSCROLL:
            onVerticalScroll(panel, LOWORD(wParam));
            return FALSE;
        case WM_HSCROLL:
            onHorizontalScroll(panel, LOWORD(wParam));
            return FALSE;
        case WM_MOUSEWHEEL:
            // Consumed: left to default processing it would reach the main
            // window too, which forwards it again.
            postWheelStep(GET_WHEEL_DELTA_WPARAM(wParam));
            SetWindowLongPtrA(panel, DWLP_MSGRESULT, 0);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_CTLCOLORDLG:
            return brushResult(asBrush(quiz->backgroundBrush));
        default:
            return FALSE;
    }
}
