#include "editor/controls_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "content/text.h"
#include "editing/comment_modes.h"
#include "editor/editor_ids.h"
#include "editor/editor_layout.h"
#include "editor/editor_state_win32.h"
#include "editor/text_win32.h"
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
     WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | LVS_OWNERDATA},
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
    {atelierid::Location, L"Lieu (pour vous : les joueurs ne le voient pas)", L"EDIT", L"", Edit},
    {atelierid::Comment, L"Commentaire", L"EDIT", L"", MultiLine},
    {atelierid::TryField, L"Essayer une réponse", L"EDIT", L"", Edit},
    {atelierid::SingleViewVerdict, L"Vue d'une question :", L"STATIC", L"?", Verdict},
    {atelierid::OverviewVerdict, L"Vue d'ensemble :", L"STATIC", L"?", Verdict},
    {atelierid::Warnings, nullptr, L"STATIC", L"", SS_LEFT},
    {atelierid::QuizName, L"Nom du quiz", L"EDIT", L"", Edit},
    {atelierid::Creator, L"Auteur", L"EDIT", L"", Edit},
    {atelierid::Explanation, L"Explication", L"EDIT", L"", MultiLine},
    {editorid::HeaderNotes, nullptr, L"STATIC", L"", SS_LEFT | SS_NOPREFIX},
    {atelierid::FirstAnswerLabel, L"Nom de la première réponse", L"EDIT", L"", Edit},
    {atelierid::SecondAnswerLabel, L"Nom de la deuxième réponse", L"EDIT", L"", Edit},
    {atelierid::AnswersPerQuestion, L"Réponses par question", WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {atelierid::CommentMode, L"Commentaires", WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {editorid::CommentModeHelp, nullptr, L"STATIC", L"", SS_LEFT | SS_NOPREFIX},
    {atelierid::PicturesInOverview, nullptr, L"BUTTON", L"Images dans la vue d'ensemble", WS_TABSTOP | BS_AUTOCHECKBOX},
    {atelierid::BackgroundColour, nullptr, L"BUTTON", L"Couleur de fond…", Button},
    {editorid::Swatch, nullptr, L"STATIC", L"", WS_BORDER | SS_NOTIFY},
    {editorid::CodeLinesHelp, nullptr, L"STATIC",
     L"La récompense : après k questions trouvées, le joueur voit la ligne k (une ligne par question).",
     SS_LEFT | SS_NOPREFIX},
    {atelierid::CodeLines, L"Lignes de code", L"EDIT", L"", MultiLine},
    // Not in the Tab order and never focused: hidden until a field has something to say.
    {editorid::FieldNote, nullptr, L"STATIC", L"", SS_LEFT | SS_NOPREFIX},
};

// What the controls were last placed for: the first show's WM_SIZE, of the
// size they were made for, moves nothing.
struct Placement {
    LONG width = -1;
    LONG height = -1;
    double scale = 0;
    int notedField = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};
Placement placedFor;

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

// An empty list says what to do: the hint drawn in grey over its background.
void drawEmptyListHint(HWND list) {
    if (ListView_GetItemCount(list) != 0) return;
    RECT client{};
    GetClientRect(list, &client);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, editor.font);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, EmptyListHint, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
}

LRESULT CALLBACK questionListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if (message == WM_PAINT) drawEmptyListHint(list);
    if (message == WM_SIZE) InvalidateRect(list, nullptr, TRUE);
    return result;
}

void prepareQuestionList(HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    SetWindowSubclass(list, questionListProcedure, 0, 0);
    makeThumbnailList(list);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 300;
    ListView_InsertColumn(list, 0, &column);
}

void fillCombos() {
    for (const wchar_t* answers : {L"1", L"2"}) {
        SendMessageW(control(atelierid::AnswersPerQuestion), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(answers));
    }
    for (const CommentModeText& mode : CommentModeTexts) {
        SendMessageW(control(atelierid::CommentMode), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(mode.name).c_str()));
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
    ShowWindow(control(editorid::FieldNote), SW_HIDE);
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
    const Placement wanted{client.right, client.bottom, editor.scale, editor.notedField};
    if (wanted == placedFor) return;
    placedFor = wanted;
    for (const PlacedControl& placed : editorLayout({client.right, client.bottom}, editor.scale, editor.notedField)) {
        const Rect& r = placed.place;
        // A drop-down list's height is that of its open list.
        const bool combo = placed.id == atelierid::AnswersPerQuestion || placed.id == atelierid::CommentMode;
        const int height = combo ? r.height * 7 : r.height;
        SetWindowPos(control(placed.id), nullptr, r.x, r.y, r.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fitQuestionListColumn();
}

namespace {

// The controls below a note that came or went move in a window already drawn:
// the bits they leave and those copied with them are drawn anew.
void placeForNote() {
    const Placement before = placedFor;
    placeEditorControls(atelierWindow);
    if (placedFor == before) return;
    RedrawWindow(atelierWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

void showFieldNote(int field, const std::wstring& note) {
    HWND shown = control(editorid::FieldNote);
    editor.notedField = field;
    editor.notedFieldLeft = false;
    setWindowText(shown, note);
    placeForNote();
    ShowWindow(shown, SW_SHOWNA);
}

void endFieldNote(std::initializer_list<int> fields) {
    if (editor.notedField == 0 || std::find(fields.begin(), fields.end(), editor.notedField) == fields.end()) return;
    editor.notedField = 0;
    ShowWindow(control(editorid::FieldNote), SW_HIDE);
    setWindowText(control(editorid::FieldNote), L"");
    placeForNote();
}

void fitQuestionListColumn() {
    HWND list = control(atelierid::QuestionList);
    RECT listClient{};
    GetClientRect(list, &listClient);
    if (ListView_GetColumnWidth(list, 0) != listClient.right) ListView_SetColumnWidth(list, 0, listClient.right);
}
