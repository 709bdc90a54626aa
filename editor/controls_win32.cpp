#include "editor/controls_win32.h"

#include <commctrl.h>

#include "content/text.h"
#include "editor/editor_ids.h"
#include "editor/editor_layout.h"
#include "editor/editor_state_win32.h"
#include "editor/thumbnails_win32.h"
#include "resources/contract_ids.h"

namespace {

constexpr DWORD Edit = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD MultiLine = WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD Label = SS_LEFTNOWORDWRAP;
constexpr DWORD Button = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD Verdict = WS_BORDER | SS_CENTER | SS_CENTERIMAGE;

// A control, and the label above or beside it when it has one.
struct EditorControl {
    int id;
    const wchar_t* label;  // null: none
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
};

// In Tab order.
const EditorControl EditorControls[] = {
    {atelierid::QuestionList, nullptr, WC_LISTVIEWW, L"",
     WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | LVS_OWNERDATA},
    {editorid::AddPictures, nullptr, L"BUTTON", L"Ajouter des images…", Button},
    {editorid::RemoveQuestion, nullptr, L"BUTTON", L"Supprimer", Button},
    {editorid::MoveUp, nullptr, L"BUTTON", L"Monter", Button},
    {editorid::MoveDown, nullptr, L"BUTTON", L"Descendre", Button},
    {atelierid::PicturePreview, nullptr, L"STATIC", nullptr, WS_BORDER | SS_BITMAP | SS_CENTERIMAGE},
    {editorid::ChangePicture, nullptr, L"BUTTON", L"Changer l'image…", Button},
    {editorid::TurnLeft, nullptr, L"BUTTON", L"Tourner à gauche", Button},
    {editorid::TurnRight, nullptr, L"BUTTON", L"Tourner à droite", Button},
    {atelierid::ExpectedAnswer, L"Réponse attendue", L"EDIT", L"", Edit},
    {atelierid::SecondAnswer, L"Deuxième réponse", L"EDIT", L"", Edit},
    {atelierid::Location, L"Lieu", L"EDIT", L"", Edit},
    {atelierid::Comment, L"Commentaire", L"EDIT", L"", MultiLine},
    {atelierid::TryField, L"Essayer une réponse", L"EDIT", L"", Edit},
    {atelierid::SingleViewVerdict, L"Vue d'une question :", L"STATIC", L"?", Verdict},
    {atelierid::OverviewVerdict, L"Vue d'ensemble :", L"STATIC", L"?", Verdict},
    {atelierid::Warnings, nullptr, L"STATIC", L"", SS_LEFT},
    {atelierid::QuizName, L"Nom du quiz", L"EDIT", L"", Edit},
    {atelierid::Creator, L"Auteur", L"EDIT", L"", Edit},
    {atelierid::Explanation, L"Explication", L"EDIT", L"", MultiLine},
    {atelierid::FirstAnswerLabel, L"Nom de la première réponse", L"EDIT", L"", Edit},
    {atelierid::SecondAnswerLabel, L"Nom de la deuxième réponse", L"EDIT", L"", Edit},
    {atelierid::AnswersPerQuestion, L"Réponses par question", WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {atelierid::CommentMode, L"Commentaires", WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {atelierid::PicturesInOverview, nullptr, L"BUTTON", L"Images dans la vue d'ensemble", WS_TABSTOP | BS_AUTOCHECKBOX},
    {atelierid::BackgroundColour, nullptr, L"BUTTON", L"Couleur de fond…", Button},
    {editorid::Swatch, nullptr, L"STATIC", L"", WS_BORDER | SS_NOTIFY},
    {atelierid::CodeLines, L"Lignes de code (ligne k : le code après k questions résolues)", L"EDIT", L"", MultiLine},
};

HWND createControl(HWND window, int id, const wchar_t* className, const wchar_t* text, DWORD style) {
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), atelierInstance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(editor.font), FALSE);
    return child;
}

// Fields whose text goes into the quiz: the player holds at most 259 characters.
constexpr int LimitedFields[] = {atelierid::ExpectedAnswer,   atelierid::SecondAnswer,     atelierid::Location,
                                 atelierid::Comment,          atelierid::TryField,         atelierid::QuizName,
                                 atelierid::Creator,          atelierid::Explanation,      atelierid::FirstAnswerLabel,
                                 atelierid::SecondAnswerLabel};

void prepareQuestionList(HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    makeThumbnailList();
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 300;
    ListView_InsertColumn(list, 0, &column);
}

void fillCombos() {
    for (const wchar_t* answers : {L"1", L"2"}) {
        SendMessageW(control(atelierid::AnswersPerQuestion), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(answers));
    }
    for (const wchar_t* mode : CommentModeNames) {
        SendMessageW(control(atelierid::CommentMode), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    }
}

}  // namespace

void createEditorControls(HWND window) {
    for (const EditorControl& item : EditorControls) {
        if (item.label != nullptr) {
            createControl(window, item.id + editorid::LabelOffset, L"STATIC", item.label, Label);
        }
        createControl(window, item.id, item.className, item.text, item.style);
    }
    for (const int id : LimitedFields) SendMessageW(control(id), EM_LIMITTEXT, MaxTextLength, 0);
    prepareQuestionList(control(atelierid::QuestionList));
    fillCombos();
    placeEditorControls(window);
}

void applyEditorFont() {
    const auto setFont = [](int id) {
        SendMessageW(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(editor.font), TRUE);
    };
    for (const EditorControl& item : EditorControls) {
        if (item.label != nullptr) setFont(item.id + editorid::LabelOffset);
        setFont(item.id);
    }
}

void placeEditorControls(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    for (const PlacedControl& placed : editorLayout({client.right, client.bottom}, editor.scale)) {
        const Rect& r = placed.place;
        // A drop-down list's height is that of its open list.
        const bool combo = placed.id == atelierid::AnswersPerQuestion || placed.id == atelierid::CommentMode;
        const int height = combo ? r.height * 7 : r.height;
        SetWindowPos(control(placed.id), nullptr, r.x, r.y, r.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fitQuestionListColumn();
}

void fitQuestionListColumn() {
    HWND list = control(atelierid::QuestionList);
    RECT listClient{};
    GetClientRect(list, &listClient);
    if (ListView_GetColumnWidth(list, 0) != listClient.right) ListView_SetColumnWidth(list, 0, listClient.right);
}
