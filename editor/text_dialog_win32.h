#pragma once
// Dialogs of a few lines and two buttons, made in memory: the points to look
// at before saving and the short help. Their text is in a read-only field
// (id 0xFFFF, as a message box's), so that a long list scrolls.

#include <windows.h>

#include <optional>
#include <string>

// The points before saving; true for "Enregistrer quand même", false for "Revenir".
bool confirmSaveDespite(HWND owner, const std::wstring& points);

// A save about to replace a file that changed since it was opened.
enum class ChangedElsewhere { SaveAs, Replace, Cancel };
ChangedElsewhere askChangedElsewhere(HWND owner, const std::wstring& fileName);

// The Aide window: the player's keys, the answer rules, what the code is, and
// a link that opens LISEZMOI.txt.
void showHelp(HWND owner);

// The pass mark of a package for a learning platform: a percentage, or blank
// for none; chosen is false when the teacher cancels the export.
struct PassMarkAnswer {
    bool chosen = false;
    std::optional<int> passMark;
};
PassMarkAnswer askPassMark(HWND owner);
