#include "editor/text_dialog_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "authoring/scorm_package.h"
#include "editing/file_stamp.h"
#include "editor/dialogs_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"
#include "resources/contract_ids.h"

namespace {

constexpr int IntroId = 100;
constexpr int TextId = 0xFFFF;
constexpr int LinkId = 101;
constexpr int PassMarkLabelId = 102;

// A dialog template in dialog units, laid out word by word as Windows reads it.
class DialogTemplate {
public:
    DialogTemplate(const wchar_t* title, short width, short height) {
        addDword(DS_MODALFRAME | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        addDword(0);
        count_ = words_.size();
        words_.push_back(0);  // the number of controls, counted as they come
        for (const short value : {short{0}, short{0}, width, height}) words_.push_back(static_cast<WORD>(value));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        addText(title);
        words_.push_back(8);
        addText(L"MS Shell Dlg");
    }

    void add(int id, WORD classAtom, const wchar_t* text, DWORD style, short x, short y, short width, short height) {
        addClass(id, style, x, y, width, height);
        words_.push_back(0xFFFF);
        words_.push_back(classAtom);
        addText(text);
        words_.push_back(0);  // no creation data
    }
    void addNamed(int id, const wchar_t* className, const wchar_t* text, DWORD style, short x, short y, short width,
                  short height) {
        addClass(id, style, x, y, width, height);
        addText(className);
        addText(text);
        words_.push_back(0);
    }

    [[nodiscard]] const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void addClass(int id, DWORD style, short x, short y, short width, short height) {
        if (words_.size() % 2 != 0) words_.push_back(0);  // each control starts on a DWORD
        ++words_[count_];
        addDword(WS_CHILD | WS_VISIBLE | style);
        addDword(0);
        for (const short value : {x, y, width, height}) words_.push_back(static_cast<WORD>(value));
        words_.push_back(static_cast<WORD>(id));
    }
    void addDword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void addText(const wchar_t* text) {
        for (; *text != L'\0'; ++text) words_.push_back(static_cast<WORD>(*text));
        words_.push_back(0);
    }

    std::vector<WORD> words_;
    std::size_t count_ = 0;
};

constexpr WORD ButtonClass = 0x0080;
constexpr WORD EditClass = 0x0081;
constexpr WORD StaticClass = 0x0082;
constexpr DWORD ReadOnlyText = WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY;

struct DialogTexts {
    const wchar_t* intro;
    const std::wstring& text;
};

std::wstring programFolder() {
    wchar_t path[32768] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, 32768);
    return length > 0 && length < 32768 ? folderOf(path) : L".";
}

void openReadme(HWND owner) {
    const std::wstring readme = programFolder() + L"\\LISEZMOI.txt";
    if (GetFileAttributesW(readme.c_str()) == INVALID_FILE_ATTRIBUTES) {
        showError(owner, L"LISEZMOI.txt est introuvable à côté de l'Atelier (" + readme + L").");
        return;
    }
    ShellExecuteW(owner, L"open", readme.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK textDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* texts = reinterpret_cast<const DialogTexts*>(lParam);
            SetDlgItemTextW(dialog, IntroId, texts->intro);
            SetDlgItemTextW(dialog, TextId, texts->text.c_str());
            // The default button has the focus, not the text, which would show all selected.
            SetFocus(GetDlgItem(dialog, GetDlgItem(dialog, IDYES) != nullptr ? IDYES : IDOK));
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDYES) {
                EndDialog(dialog, LOWORD(wParam));
            }
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == LinkId && (header->code == NM_CLICK || header->code == NM_RETURN)) openReadme(dialog);
            return TRUE;
        }
        default: return FALSE;
    }
}

// OK keeps the dialog open until the pass mark typed is one.
void acceptPassMark(HWND dialog) {
    wchar_t typed[16] = {};
    GetDlgItemTextW(dialog, atelierid::PassMark, typed, 16);
    const TypedPassMark mark = typedPassMark(narrow(typed));
    if (!mark.valid) {
        showError(dialog, L"La note pour réussir est un pourcentage de 0 à 100, ou rien.");
        SetFocus(GetDlgItem(dialog, atelierid::PassMark));
        return;
    }
    reinterpret_cast<PassMarkAnswer*>(GetWindowLongPtrW(dialog, DWLP_USER))->passMark = mark.mark;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK passMarkProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SendDlgItemMessageW(dialog, atelierid::PassMark, EM_LIMITTEXT, 8, 0);
            SetFocus(GetDlgItem(dialog, atelierid::PassMark));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) acceptPassMark(dialog);
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        default: return FALSE;
    }
}

INT_PTR runDialog(HWND owner, const DialogTemplate& layout, const DialogTexts& texts) {
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.get(), owner, textDialogProcedure,
                                   reinterpret_cast<LPARAM>(&texts));
}

// Line breaks as a multi-line field shows them.
std::wstring withCrLf(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\n' && (out.empty() || out.back() != L'\r')) out += L'\r';
        out += c;
    }
    return out;
}

constexpr wchar_t HelpText[] =
    L"Le joueur\n"
    L"• Il regarde l'image, tape sa réponse puis Entrée : « BRAVO » quand elle est juste, sinon « FAUX » "
    L"ou un indice (« Presque », « Trop court », « Anagramme »…).\n"
    L"• Les flèches et la liste sous l'image mènent aux autres questions. F3 : la vue d'ensemble, toutes les "
    L"questions à la fois (Tab : la réponse suivante ; F1 : recopie la réponse dans les questions pas encore "
    L"trouvées). F2 ou « Sauver » : garde ses réponses, qui le sont aussi en quittant.\n"
    L"\n"
    L"Les réponses\n"
    L"• Le quiz met en capitales les lettres de a à z seulement : « forêt » tapé « FORÊT » n'est pas juste, "
    L"et « œ » n'est pas sur un clavier français. Écrivez les réponses attendues sans accent, comme dans les "
    L"mots croisés, et dites-le aux joueurs dans l'explication.\n"
    L"• Les espaces au début et à la fin de ce que tape le joueur sont enlevés.\n"
    L"• Dans la vue d'ensemble, une réponse de 3 caractères ou moins n'a pas d'indice : juste ou « FAUX ».\n"
    L"• « Essayer une réponse », sous l'image, montre ce que le quiz répondra.\n"
    L"\n"
    L"Le code\n"
    L"• Chaque question trouvée fait avancer le code : après k questions trouvées, le joueur voit la ligne k "
    L"des « Lignes de code ». Un mot qui se complète lettre à lettre est une belle récompense.\n"
    L"\n"
    L"Ce que le joueur ne voit pas\n"
    L"• Le lieu ne sert qu'à vous. Les commentaires s'affichent selon le réglage « Commentaires ».";

}  // namespace

bool confirmSaveDespite(HWND owner, const std::wstring& points) {
    DialogTemplate layout(AtelierName, 300, 190);
    layout.add(IntroId, StaticClass, L"", SS_LEFT, 7, 7, 286, 18);
    layout.add(TextId, EditClass, L"", ReadOnlyText, 7, 28, 286, 132);
    layout.add(IDOK, ButtonClass, L"Enregistrer quand même", WS_TABSTOP | BS_DEFPUSHBUTTON, 103, 168, 110, 15);
    layout.add(IDCANCEL, ButtonClass, L"Revenir", WS_TABSTOP | BS_PUSHBUTTON, 218, 168, 75, 15);
    const DialogTexts texts{L"Avant d'enregistrer : ces points surprendront les joueurs. Le quiz marche quand même.",
                            withCrLf(points)};
    return runDialog(owner, layout, texts) == IDOK;
}

ChangedElsewhere askChangedElsewhere(HWND owner, const std::wstring& fileName) {
    DialogTemplate layout(AtelierName, 300, 100);
    layout.add(IntroId, StaticClass, L"", SS_LEFT, 7, 7, 0, 0);
    layout.add(TextId, EditClass, L"", ReadOnlyText, 7, 7, 286, 63);
    layout.add(IDYES, ButtonClass, L"Enregistrer sous…", WS_TABSTOP | BS_DEFPUSHBUTTON, 58, 78, 80, 15);
    layout.add(IDOK, ButtonClass, L"Remplacer quand même", WS_TABSTOP | BS_PUSHBUTTON, 143, 78, 90, 15);
    layout.add(IDCANCEL, ButtonClass, L"Annuler", WS_TABSTOP | BS_PUSHBUTTON, 238, 78, 55, 15);
    const DialogTexts texts{L"", widen(changedElsewhereMessage(narrow(fileName))) + L".\r\n\r\n" +
                                     widen(changedElsewhereAdvice())};
    switch (runDialog(owner, layout, texts)) {
        case IDYES: return ChangedElsewhere::SaveAs;
        case IDOK: return ChangedElsewhere::Replace;
        default: return ChangedElsewhere::Cancel;
    }
}

void showHelp(HWND owner) {
    DialogTemplate layout(L"Aide de Zorbel Atelier", 320, 250);
    layout.add(IntroId, StaticClass, L"", SS_LEFT, 7, 7, 306, 10);
    layout.add(TextId, EditClass, L"", ReadOnlyText, 7, 20, 306, 192);
    layout.addNamed(LinkId, WC_LINK, L"Tout le reste est dans <a>LISEZMOI.txt</a>, à côté de l'Atelier.",
                    WS_TABSTOP, 7, 219, 220, 10);
    layout.add(IDOK, ButtonClass, L"Fermer", WS_TABSTOP | BS_DEFPUSHBUTTON, 238, 228, 75, 15);
    const DialogTexts texts{L"Ce que fait le quiz que vous préparez :", withCrLf(HelpText)};
    runDialog(owner, layout, texts);
}

PassMarkAnswer askPassMark(HWND owner) {
    DialogTemplate layout(L"Exporter pour une plateforme (SCORM)", 250, 84);
    layout.add(IntroId, StaticClass,
               L"Score pour réussir, en % (par exemple 80). Laissé vide : la tentative est terminée quand toutes "
               L"les questions sont trouvées.",
               SS_LEFT, 7, 7, 236, 26);
    layout.add(PassMarkLabelId, StaticClass, L"&Note pour réussir :", SS_LEFT, 7, 41, 70, 10);
    layout.add(atelierid::PassMark, EditClass, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 80, 39, 40, 13);
    layout.add(IDOK, ButtonClass, L"Exporter…", WS_TABSTOP | BS_DEFPUSHBUTTON, 113, 62, 70, 15);
    layout.add(IDCANCEL, ButtonClass, L"Annuler", WS_TABSTOP | BS_PUSHBUTTON, 188, 62, 55, 15);
    PassMarkAnswer answer;
    answer.chosen = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.get(), owner, passMarkProcedure,
                                            reinterpret_cast<LPARAM>(&answer)) == IDOK;
    return answer;
}
