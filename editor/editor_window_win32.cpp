#include "editor/editor_window_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "authoring/cp1252.h"
#include "editing/quiz_review.h"
#include "content/quiz_record.h"
#include "editor/controls_win32.h"
#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/dpi_win32.h"
#include "editor/editor_ids.h"
#include "editor/editor_layout.h"
#include "editor/editor_state_win32.h"
#include "editor/field_edits_win32.h"
#include "editor/file_commands_win32.h"
#include "editor/picture_view_win32.h"
#include "editor/question_commands_win32.h"
#include "editor/recovery_win32.h"
#include "editor/settings_win32.h"
#include "editor/text_dialog_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"
#include "editor/thumbnails_win32.h"
#include "grading/verdict.h"
#include "resources/contract_ids.h"
#include "zorbel_version.h"

#define ZORBEL_WIDEN(text) L"" text
#define ZORBEL_VERSION_WIDE ZORBEL_WIDEN(ZORBEL_VERSION_TEXT)

namespace {

enum Command : WORD {
    CommandNew = 40001,
    CommandOpen,
    CommandSave,
    CommandSaveAs,
    CommandExport,
    CommandExportWeb,
    CommandExportScorm,
    CommandQuit,
    CommandUndo,
    CommandRedo,
    CommandAddPictures,
    CommandAddQuestion,
    CommandChangePicture,
    CommandTurnLeft,
    CommandTurnRight,
    CommandRemove,
    CommandMoveUp,
    CommandMoveDown,
    CommandTest,
    CommandHelp,
    CommandAbout,
    CommandRecentFirst = 40100,  // ... + MaxRecentFiles - 1
};

// Filled each time it opens.
HMENU recentFilesMenu = nullptr;

HMENU createMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, CommandNew, L"&Nouveau\tCtrl+N");
    AppendMenuW(file, MF_STRING, CommandOpen, L"&Ouvrir…\tCtrl+O");
    AppendMenuW(file, MF_STRING, CommandSave, L"&Enregistrer\tCtrl+S");
    AppendMenuW(file, MF_STRING, CommandSaveAs, L"Enregistrer &sous…\tCtrl+Maj+S");
    AppendMenuW(file, MF_STRING, CommandExport, L"E&xporter la source…");
    AppendMenuW(file, MF_STRING, CommandExportWeb, L"Exporter en page &web…");
    AppendMenuW(file, MF_STRING, CommandExportScorm, L"Exporter pour une &plateforme (SCORM)…");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    recentFilesMenu = CreatePopupMenu();
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recentFilesMenu), L"Fichiers &récents");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, CommandQuit, L"&Quitter");
    // Named by what they would undo or redo each time the menu opens.
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING | MF_GRAYED, CommandUndo, L"&Annuler\tCtrl+Z");
    AppendMenuW(edit, MF_STRING | MF_GRAYED, CommandRedo, L"&Rétablir\tCtrl+Y");
    HMENU questions = CreatePopupMenu();
    AppendMenuW(questions, MF_STRING, CommandAddPictures, L"&Ajouter des images…\tCtrl+I");
    AppendMenuW(questions, MF_STRING, CommandAddQuestion, L"Ajouter une question &sans image");
    AppendMenuW(questions, MF_STRING, CommandChangePicture, L"&Changer l'image…");
    AppendMenuW(questions, MF_STRING, CommandTurnLeft, L"Tourner à &gauche\tCtrl+L");
    AppendMenuW(questions, MF_STRING, CommandTurnRight, L"Tourner à d&roite\tCtrl+R");
    AppendMenuW(questions, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(questions, MF_STRING, CommandRemove, L"S&upprimer\tSuppr");
    AppendMenuW(questions, MF_STRING, CommandMoveUp, L"&Monter\tAlt+Haut");
    AppendMenuW(questions, MF_STRING, CommandMoveDown, L"&Descendre\tAlt+Bas");
    HMENU quiz = CreatePopupMenu();
    AppendMenuW(quiz, MF_STRING, CommandTest, L"&Tester le quiz\tF5");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, CommandHelp, L"&Aide de Zorbel Atelier\tF1");
    AppendMenuW(help, MF_STRING, CommandAbout, L"À &propos de Zorbel Atelier");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Fichier");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"É&dition");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(questions), L"&Questions");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(quiz), L"Qui&z");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Aide");
    return bar;
}

void runCommand(WORD command) {
    if (command >= CommandRecentFirst && command < CommandRecentFirst + MaxRecentFiles) {
        return openRecentFile(command - CommandRecentFirst);
    }
    switch (command) {
        case CommandNew: newQuiz(); break;
        case CommandOpen: openQuiz(); break;
        case CommandSave: saveQuiz(); break;
        case CommandSaveAs: saveQuizAs(); break;
        case CommandExport: exportSource(); break;
        case CommandExportWeb: exportWebPage(); break;
        case CommandExportScorm: exportScormPackage(); break;
        case CommandQuit: SendMessageW(atelierWindow, WM_CLOSE, 0, 0); break;
        case CommandUndo: undoLastChange(); break;
        case CommandRedo: redoLastChange(); break;
        case CommandTurnLeft: turnSelectedPicture(-1); break;
        case CommandTurnRight: turnSelectedPicture(+1); break;
        case CommandAddPictures: addPictures(); break;
        case CommandAddQuestion: addQuestionWithoutPicture(); break;
        case CommandChangePicture: changePicture(); break;
        case CommandRemove: removeSelectedQuestion(); break;
        case CommandMoveUp: moveSelectedQuestion(-1); break;
        case CommandMoveDown: moveSelectedQuestion(+1); break;
        case CommandTest: testQuiz(); break;
        case CommandHelp: showHelp(atelierWindow); break;
        case CommandAbout:
            showInformation(atelierWindow, L"Zorbel Atelier, version " ZORBEL_VERSION_WIDE L"\r\n\r\n"
                                           L"L'éditeur des quiz en images Zorbel : il enregistre chaque quiz "
                                           L"comme un programme à envoyer tel quel.");
            break;
        default: break;
    }
}

void onControlCommand(int id, WORD notification) {
    if (notification == EN_CHANGE) return onFieldChanged(id);
    // What was typed in a field is one step of the history once the field is left.
    if (notification == EN_KILLFOCUS) return onFieldLeft(id);
    if (notification == CBN_SELCHANGE && id == atelierid::AnswersPerQuestion) return onAnswersPerQuestionChosen();
    if (notification == CBN_SELCHANGE && id == atelierid::CommentMode) return onCommentModeChosen();
    if (notification != BN_CLICKED) return;
    switch (id) {
        case editorid::AddPictures: addPictures(); break;
        case editorid::RemoveQuestion: removeSelectedQuestion(); break;
        case editorid::MoveUp: moveSelectedQuestion(-1); break;
        case editorid::MoveDown: moveSelectedQuestion(+1); break;
        case editorid::ChangePicture: changePicture(); break;
        case editorid::TurnLeft: turnSelectedPicture(-1); break;
        case editorid::TurnRight: turnSelectedPicture(+1); break;
        case atelierid::PicturesInOverview: onPicturesInOverviewClicked(); break;
        case atelierid::BackgroundColour: chooseBackground(); break;
        default: break;
    }
}

void onCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) return runCommand(LOWORD(wParam));  // a menu item or a key
    onControlCommand(LOWORD(wParam), HIWORD(wParam));
}

// A question that will surprise its players is marked, in red, the reasons on hover.
constexpr wchar_t QuestionMark[] = L"  (!)";

bool hasPoints(std::size_t question) { return !questionPoints(editor.document, question).empty(); }

// A list item's text and thumbnail, made when the list first draws it.
void describeItem(NMLVDISPINFOW& info) {
    const auto question = static_cast<std::size_t>(info.item.iItem);
    if (question >= editor.document.questions.size()) return;
    if ((info.item.mask & LVIF_TEXT) != 0) {
        const std::wstring text = std::to_wstring(question + 1) + L". " +
                                  widenCp1252(editor.document.questions[question].answer) +
                                  (hasPoints(question) ? QuestionMark : L"");
        lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
    }
    if ((info.item.mask & LVIF_IMAGE) != 0) {
        info.item.iImage = thumbnailIndex(editor.document.questions[question].prepared);
    }
}

void describePoints(NMLVGETINFOTIPW& tip) {
    std::wstring text;
    for (const std::string& point : questionPoints(editor.document, static_cast<std::size_t>(tip.iItem))) {
        text += (text.empty() ? L"" : L"\r\n") + widen(point);
    }
    if (!text.empty()) lstrcpynW(tip.pszText, text.c_str(), tip.cchTextMax);
}

LRESULT drawItem(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            if (hasPoints(draw.nmcd.dwItemSpec)) draw.clrText = RGB(176, 0, 0);
            return CDRF_DODEFAULT;
        default: return CDRF_DODEFAULT;
    }
}

LRESULT onNotify(NMHDR& header) {
    if (header.idFrom != atelierid::QuestionList) return 0;
    switch (header.code) {
        case NM_CUSTOMDRAW: return drawItem(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        case LVN_GETINFOTIPW: describePoints(reinterpret_cast<NMLVGETINFOTIPW&>(header)); break;
        case LVN_GETDISPINFOW: describeItem(reinterpret_cast<NMLVDISPINFOW&>(header)); break;
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            // A virtual list names no item (-1) when a change covers them all.
            if (!editor.filling && (change.uNewState & LVIS_SELECTED) != 0 && change.iItem >= 0 &&
                change.iItem != editor.selected) {
                editor.selected = change.iItem;
                showQuestion();
            }
            break;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) removeSelectedQuestion();
            break;
        default: break;
    }
    return 0;
}

// "Annuler la suppression de la question 3", greyed when there is nothing to undo.
void nameHistoryItem(HMENU menu, WORD command, const wchar_t* verb, const wchar_t* key,
                     const std::optional<std::string>& step) {
    const std::wstring text = std::wstring(verb) + (step ? L" " + widen(*step) : L"") + L"\t" + key;
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.dwTypeData = const_cast<wchar_t*>(text.c_str());
    item.fState = step ? MFS_ENABLED : MFS_GRAYED;
    SetMenuItemInfoW(menu, command, FALSE, &item);
}

void onInitMenuPopup(HMENU menu) {
    if (menu == recentFilesMenu) return fillRecentFilesMenu(menu, CommandRecentFirst);
    nameHistoryItem(menu, CommandUndo, L"&Annuler", L"Ctrl+Z", undoName(editor.document));
    nameHistoryItem(menu, CommandRedo, L"&Rétablir", L"Ctrl+Y", redoName(editor.document));
}

// A verdict wears the player's colour for its text.
HBRUSH verdictBrush(HWND label) {
    const Cp1252Text text = utf8ToCp1252(narrow(windowText(label)));
    switch (verdictColour(text.bytes)) {
        case VerdictColour::System: return nullptr;
        case VerdictColour::Right: return editor.verdictBrushes[0];
        case VerdictColour::Wrong: return editor.verdictBrushes[1];
        case VerdictColour::Anagram: return editor.verdictBrushes[2];
        case VerdictColour::Hint: return editor.verdictBrushes[3];
    }
    return nullptr;
}

LRESULT onCtlColorStatic(HDC dc, HWND label) {
    const int id = GetDlgCtrlID(label);
    if (id == editorid::Swatch) return reinterpret_cast<LRESULT>(editor.swatch);
    if (id == editorid::HeaderNotes || id == editorid::FieldNote) {
        SetTextColor(dc, RGB(176, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (id != atelierid::SingleViewVerdict && id != atelierid::OverviewVerdict) {
        return DefWindowProcW(atelierWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(label));
    }
    HBRUSH brush = verdictBrush(label);
    if (brush == nullptr) {
        return DefWindowProcW(atelierWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(label));
    }
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(brush);
}

HBRUSH brushOf(Rgb colour) { return CreateSolidBrush(RGB(colour.red, colour.green, colour.blue)); }

void onCreate(HWND window) {
    atelierWindow = window;
    const unsigned dpi = dpiOfWindow(window);
    editor.scale = dpi / double(DefaultDpi);
    editor.font = createMessageFont(dpi);
    editor.verdictBrushes = {brushOf(RightColour), brushOf(WrongColour), brushOf(AnagramColour), brushOf(HintColour)};
    createEditorControls(window);
    DragAcceptFiles(window, TRUE);
    // The document may be a file opened before the window: its thumbnails, begun then, stay.
    showDocumentAgain(0);
    sendThumbnailsTo(window);
}

void onDestroy() {
    removeTestFolders();
    stopRecovery();
    stopThumbnails();
    DeleteObject(editor.font);
    DeleteObject(editor.swatch);
    for (HBRUSH brush : editor.verdictBrushes) DeleteObject(brush);
    ImageList_Destroy(editor.images);  // ours: the list shares it (LVS_SHAREIMAGELISTS)
    PostQuitMessage(0);
}

SIZE editorOuterSize(Size client, unsigned dpi) {
    const double scale = dpi / double(DefaultDpi);
    const SIZE scaledClient{std::lround(client.width * scale), std::lround(client.height * scale)};
    return outerSize(scaledClient, WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT, dpi);
}

void limitSize(HWND window, MINMAXINFO& info) {
    const SIZE outer = editorOuterSize(EditorMinimumClient, dpiOfWindow(window));
    info.ptMinTrackSize = {outer.cx, outer.cy};
}

// The window is now on a monitor of other dots per inch, or its user changed
// the monitor's scale: fonts, thumbnails, picture and layout follow.
void onDpiChanged(HWND window, unsigned dpi, const RECT* suggested) {
    editor.scale = dpi / double(DefaultDpi);
    HFONT previous = editor.font;
    editor.font = createMessageFont(dpi);
    applyEditorFont();
    DeleteObject(previous);
    makeThumbnailList(control(atelierid::QuestionList));
    // A remembered place is in the new monitor's pixels already: kept as it is.
    if (suggested != nullptr && !restoringWindowPlace()) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    placeEditorControls(window);  // also when the size in pixels stayed the same
    showPicturesAgain();
}

LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) placeEditorControls(window);
            return 0;
        case WM_GETMINMAXINFO:
            limitSize(window, *reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_INITMENUPOPUP:
            onInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_DROPFILES:
            addDroppedFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_TIMER:
            onRecoveryTimer();
            return 0;
        case ThumbnailsReady:
            onThumbnailsReady();
            return 0;
        case WM_CLOSE:
            if (!confirmDiscard()) return 0;
            rememberWindowPlace(window);
            DestroyWindow(window);
            return 0;
        case WM_QUERYENDSESSION:
            return confirmDiscard() ? TRUE : FALSE;
        case WM_DESTROY:
            onDestroy();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

bool registerEditorClass(HINSTANCE instance) {
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    const WNDCLASSEXW windowClass{sizeof(WNDCLASSEXW), 0, editorWindowProc, 0, 0, instance, icon,
                                  LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)),
                                  reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)), nullptr,
                                  AtelierWindowClass, icon};
    return RegisterClassExW(&windowClass) != 0;
}

HWND createEditorWindow(HINSTANCE instance) {
    atelierInstance = instance;
    const unsigned desktop = dpiOfWindow(nullptr);
    const SIZE outer = editorOuterSize(EditorStartClient, desktop);
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, AtelierWindowClass, L"Zorbel Atelier", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr, createMenu(), instance,
                                  nullptr);
    // The monitor it opened on may have dots per inch of its own.
    if (const unsigned dpi = window != nullptr ? dpiOfWindow(window) : desktop; dpi != desktop) {
        const SIZE own = editorOuterSize(EditorStartClient, dpi);
        SetWindowPos(window, nullptr, 0, 0, own.cx, own.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

void fitIntoWorkArea(HWND window) {
    if (IsZoomed(window) || IsIconic(window)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    RECT place{};
    GetWindowRect(window, &place);
    const LONG width = std::min(place.right - place.left, work.right - work.left);
    const LONG height = std::min(place.bottom - place.top, work.bottom - work.top);
    const LONG left = std::clamp(place.left, work.left, work.right - width);
    const LONG top = std::clamp(place.top, work.top, work.bottom - height);
    if (left == place.left && top == place.top && width == place.right - place.left &&
        height == place.bottom - place.top) {
        return;
    }
    SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HACCEL createEditorAccelerators() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', CommandNew},
        {FVIRTKEY | FCONTROL, 'O', CommandOpen},
        {FVIRTKEY | FCONTROL, 'S', CommandSave},
        {FVIRTKEY | FCONTROL | FSHIFT, 'S', CommandSaveAs},
        {FVIRTKEY | FCONTROL, 'I', CommandAddPictures},
        {FVIRTKEY | FCONTROL, 'Z', CommandUndo},
        {FVIRTKEY | FCONTROL, 'Y', CommandRedo},
        {FVIRTKEY | FCONTROL | FSHIFT, 'Z', CommandRedo},
        {FVIRTKEY | FCONTROL, 'L', CommandTurnLeft},
        {FVIRTKEY | FCONTROL, 'R', CommandTurnRight},
        {FVIRTKEY | FALT, VK_UP, CommandMoveUp},
        {FVIRTKEY | FALT, VK_DOWN, CommandMoveDown},
        {FVIRTKEY, VK_F5, CommandTest},
        {FVIRTKEY, VK_F1, CommandHelp},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}
