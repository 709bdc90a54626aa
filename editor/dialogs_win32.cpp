#include "editor/dialogs_win32.h"

#include <commdlg.h>

#include <array>

#include "common/french_buttons_win32.h"

namespace {

// The colour picker's sixteen custom colours, kept from one opening to the next.
std::array<COLORREF, 16> customColours{};

int frenchBox(HWND owner, const std::wstring& text, UINT type) {
    renameNextBoxButtonsInFrench(type);
    return MessageBoxW(owner, text.c_str(), AtelierName, type);
}

constexpr wchar_t QuizFilter[] =
    L"Quiz Zorbel (*.exe, *.toml)\0*.exe;*.toml\0Quiz Zorbel (*.exe)\0*.exe\0Source de quiz (*.toml)\0*.toml\0"
    L"Tous les fichiers\0*.*\0";
constexpr wchar_t PictureFilter[] =
    L"Images (*.jpg, *.png, *.gif, *.bmp, *.heic, *.tif, *.webp)\0"
    L"*.jpg;*.jpeg;*.png;*.gif;*.bmp;*.heic;*.heif;*.tif;*.tiff;*.webp\0Tous les fichiers\0*.*\0";

OPENFILENAMEW dialogFor(HWND owner, wchar_t* buffer, DWORD capacity, const wchar_t* filter, DWORD flags) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = capacity;
    dialog.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    return dialog;
}

std::optional<std::wstring> saveDialog(HWND owner, const std::wstring& suggested, const wchar_t* filter,
                                       const wchar_t* extension) {
    std::array<wchar_t, 32768> buffer{};
    suggested.copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEW dialog = dialogFor(owner, buffer.data(), static_cast<DWORD>(buffer.size()), filter,
                                     OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    dialog.lpstrDefExt = extension;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return std::wstring(buffer.data());
}

}  // namespace

void showError(HWND owner, const std::wstring& text) { frenchBox(owner, text, MB_OK | MB_ICONERROR); }

void showInformation(HWND owner, const std::wstring& text) { frenchBox(owner, text, MB_OK | MB_ICONINFORMATION); }

bool askYesNo(HWND owner, const std::wstring& text) {
    return frenchBox(owner, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

Answer askYesNoCancel(HWND owner, const std::wstring& text) {
    switch (frenchBox(owner, text, MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES: return Answer::Yes;
        case IDNO: return Answer::No;
        default: return Answer::Cancel;
    }
}

std::optional<std::wstring> chooseFileToOpen(HWND owner) {
    std::array<wchar_t, 32768> buffer{};
    OPENFILENAMEW dialog = dialogFor(owner, buffer.data(), static_cast<DWORD>(buffer.size()), QuizFilter,
                                     OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(buffer.data());
}

std::optional<std::wstring> chooseFileToSave(HWND owner, const std::wstring& suggested) {
    return saveDialog(owner, suggested, L"Quiz Zorbel (*.exe)\0*.exe\0", L"exe");
}

std::optional<std::wstring> chooseSourceToExport(HWND owner, const std::wstring& suggested) {
    return saveDialog(owner, suggested, L"Source de quiz (*.toml)\0*.toml\0", L"toml");
}

std::optional<std::wstring> chooseWebPageToExport(HWND owner, const std::wstring& suggested) {
    return saveDialog(owner, suggested, L"Page web (*.html)\0*.html\0", L"html");
}

std::optional<std::wstring> chooseScormPackageToExport(HWND owner, const std::wstring& suggested) {
    return saveDialog(owner, suggested, L"Paquet SCORM pour une plateforme (*.zip)\0*.zip\0", L"zip");
}

std::vector<std::wstring> choosePictures(HWND owner, bool several) {
    std::array<wchar_t, 65536> buffer{};
    OPENFILENAMEW dialog = dialogFor(owner, buffer.data(), static_cast<DWORD>(buffer.size()), PictureFilter,
                                     OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | (several ? OFN_ALLOWMULTISELECT : 0));
    if (!GetOpenFileNameW(&dialog)) return {};
    // One file: its path. Several: the folder, then each name, each ended by a zero.
    std::vector<std::wstring> parts;
    for (const wchar_t* part = buffer.data(); *part != L'\0'; part += wcslen(part) + 1) parts.emplace_back(part);
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> paths;
    for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(parts[0] + L"\\" + parts[i]);
    return paths;
}

std::optional<COLORREF> chooseColour(HWND owner, COLORREF colour) {
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.rgbResult = colour;
    dialog.lpCustColors = customColours.data();
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&dialog)) return std::nullopt;
    return dialog.rgbResult;
}
