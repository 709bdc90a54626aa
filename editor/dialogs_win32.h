#pragma once
// The editor's dialogs: messages and questions whose buttons read in French
// whatever the system's language, the system's file and colour pickers.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

inline constexpr wchar_t AtelierName[] = L"Zorbel Atelier";

void showError(HWND owner, const std::wstring& text);
void showInformation(HWND owner, const std::wstring& text);

enum class Answer { Yes, No, Cancel };
// Oui / Non / Annuler.
Answer askYesNoCancel(HWND owner, const std::wstring& text);
// Oui / Non: true for Oui.
bool askYesNo(HWND owner, const std::wstring& text);

// Files chosen in the system's dialogs; none when the author cancels.
std::optional<std::wstring> chooseFileToOpen(HWND owner);
std::optional<std::wstring> chooseFileToSave(HWND owner, const std::wstring& suggested);
std::optional<std::wstring> chooseSourceToExport(HWND owner, const std::wstring& suggested);
std::optional<std::wstring> chooseWebPageToExport(HWND owner, const std::wstring& suggested);
std::optional<std::wstring> chooseScormPackageToExport(HWND owner, const std::wstring& suggested);
std::vector<std::wstring> choosePictures(HWND owner, bool several);

// The system's colour picker, starting at `colour`.
std::optional<COLORREF> chooseColour(HWND owner, COLORREF colour);
