#include "editor/controls_win32.h"

#include <commctrl.h>

#include "content/text.h"
#include "editor/editor_ids.h"
#include "editor/editor_layout.h"
#include "editor/editor_state_win32.h"
#include "resources/contract_ids.h"

namespace {

struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
};

constexpr DWORD Edit = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD MultiLine = WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD Label = SS_LEFTNOWORDWRAP;
constexpr DWORD Button = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD Verdict = WS_BORDER | SS_CENTER | SS_CENTERIMAGE;

int label(int field) { return field + editorid::LabelOffset; }

// In Tab order.
const ControlSpec Specs[] = {
    {atelierid::QuestionList, WC_LISTVIEWW, L"",
     WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER},
    {editorid::AddPictures, L"BUTTON", L"Ajouter des images…", Button},
    {editorid::RemoveQuestion, L"BUTTON", L"Supprimer", Button},
    {editorid::MoveUp, L"BUTTON", L"Monter", Button},
    {editorid::MoveDown, L"BUTTON", L"Descendre", Button},
    {atelierid::PicturePreview, L"STATIC", nullptr, WS_BORDER | SS_BITMAP | SS_CENTERIMAGE},
    {editorid::ChangePicture, L"BUTTON", L"Changer l'image…", Button},
    {label(atelierid::ExpectedAnswer), L"STATIC", L"Réponse attendue", Label},
    {atelierid::ExpectedAnswer, L"EDIT", L"", Edit},
    {label(atelierid::SecondAnswer), L"STATIC", L"Deuxième réponse", Label},
    {atelierid::SecondAnswer, L"EDIT", L"", Edit},
    {label(atelierid::Location), L"STATIC", L"Lieu", Label},
    {atelierid::Location, L"EDIT", L"", Edit},
    {label(atelierid::Comment), L"STATIC", L"Commentaire", Label},
    {atelierid::Comment, L"EDIT", L"", MultiLine},
    {label(atelierid::TryField), L"STATIC", L"Essayer une réponse", Label},
    {atelierid::TryField, L"EDIT", L"", Edit},
    {label(atelierid::SingleViewVerdict), L"STATIC", L"Vue d'une question :", Label},
    {atelierid::SingleViewVerdict, L"STATIC", L"?", Verdict},
    {label(atelierid::OverviewVerdict), L"STATIC", L"Vue d'ensemble :", Label},
    {atelierid::OverviewVerdict, L"STATIC", L"?", Verdict},
    {atelierid::Warnings, L"STATIC", L"", SS_LEFT},
    {label(atelierid::QuizName), L"STATIC", L"Nom du quiz", Label},
    {atelierid::QuizName, L"EDIT", L"", Edit},
    {label(atelierid::Creator), L"STATIC", L"Auteur", Label},
    {atelierid::Creator, L"EDIT", L"", Edit},
    {label(atelierid::Explanation), L"STATIC", L"Explication", Label},
    {atelierid::Explanation, L"EDIT", L"", MultiLine},
    {label(atelierid::FirstAnswerLabel), L"STATIC", L"Nom de la première réponse", Label},
    {atelierid::FirstAnswerLabel, L"EDIT", L"", Edit},
    {label(atelierid::SecondAnswerLabel), L"STATIC", L"Nom de la deuxième réponse", Label},
    {atelierid::SecondAnswerLabel, L"EDIT", L"", Edit},
    {label(atelierid::AnswersPerQuestion), L"STATIC", L"Réponses par question", Label},
    {atelierid::AnswersPerQuestion, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {label(atelierid::CommentMode), L"STATIC", L"Commentaires", Label},
    {atelierid::CommentMode, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {atelierid::PicturesInOverview, L"BUTTON", L"Images dans la vue d'ensemble", WS_TABSTOP | BS_AUTOCHECKBOX},
    {atelierid::BackgroundColour, L"BUTTON", L"Couleur de fond…", Button},
    {editorid::Swatch, L"STATIC", L"", WS_BORDER | SS_NOTIFY},
    {label(atelierid::CodeLines), L"STATIC", L"Lignes de code (ligne k : le code après k questions résolues)",
     Label},
    {atelierid::CodeLines, L"EDIT", L"", MultiLine},
};

// Fields whose text goes into the quiz: the player holds at most 259 characters.
constexpr int LimitedFields[] = {atelierid::ExpectedAnswer,   atelierid::SecondAnswer,     atelierid::Location,
                                 atelierid::Comment,          atelierid::TryField,         atelierid::QuizName,
                                 atelierid::Creator,          atelierid::Explanation,      atelierid::FirstAnswerLabel,
                                 atelierid::SecondAnswerLabel};

void prepareQuestionList(HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    editor.images = ImageList_Create(ThumbnailWidth, ThumbnailHeight, ILC_COLOR24, 16, 16);
    ListView_SetImageList(list, editor.images, LVSIL_SMALL);
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
    for (const ControlSpec& spec : Specs) {
        HWND child = CreateWindowExW(0, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style, 0, 0, 10, 10,
                                     window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), atelierInstance,
                                     nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(editor.font), FALSE);
    }
    for (const int id : LimitedFields) SendMessageW(control(id), EM_LIMITTEXT, MaxTextLength, 0);
    prepareQuestionList(control(atelierid::QuestionList));
    fillCombos();
    placeEditorControls(window);
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
    HWND list = control(atelierid::QuestionList);
    RECT listClient{};
    GetClientRect(list, &listClient);
    ListView_SetColumnWidth(list, 0, listClient.right);
}
