#include "editor/settings_win32.h"

#include "editor/app_data_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"

namespace {

AtelierSettings remembered;
bool restoring = false;  // within restoreWindowPlace

std::wstring settingsFile() {
    const std::wstring folder = atelierDataFolder();
    return folder.empty() ? std::wstring() : folder + L"\\réglages.txt";
}

}  // namespace

AtelierSettings& settings() { return remembered; }

void loadSettings() {
    const std::wstring file = settingsFile();
    const auto bytes = file.empty() ? std::nullopt : readFileWide(file);
    remembered = bytes ? parseSettings({reinterpret_cast<const char*>(bytes->data()), bytes->size()}) : AtelierSettings{};
}

void saveSettings() {
    const std::wstring file = settingsFile();
    if (file.empty()) return;
    const std::string text = formatSettings(remembered);
    replaceFileWide(file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void rememberRecentFile(const std::wstring& path) {
    rememberFile(remembered, narrow(path));
    saveSettings();
}

void fillRecentFilesMenu(HMENU menu, UINT firstCommand) {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    if (remembered.recentFiles.empty()) {
        AppendMenuW(menu, MF_STRING | MF_GRAYED, firstCommand, L"(aucun)");
        return;
    }
    for (std::size_t i = 0; i < remembered.recentFiles.size(); ++i) {
        const std::wstring text = L"&" + std::to_wstring(i + 1) + L" " + widen(remembered.recentFiles[i]);
        AppendMenuW(menu, MF_STRING, firstCommand + static_cast<UINT>(i), text.c_str());
    }
}

void rememberWindowPlace(HWND window) {
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    if (!GetWindowPlacement(window, &place)) return;
    const RECT& r = place.rcNormalPosition;
    remembered.window = WindowPlace{r.left, r.top, r.right - r.left, r.bottom - r.top, place.showCmd == SW_SHOWMAXIMIZED};
    saveSettings();
}

bool restoringWindowPlace() { return restoring; }

// Only onto a screen that is there now: a window left on a screen since
// unplugged would open out of sight.
bool restoreWindowPlace(HWND window) {
    if (!remembered.window) return false;
    const WindowPlace& w = *remembered.window;
    const RECT r{w.x, w.y, w.x + w.width, w.y + w.height};
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL) == nullptr) return false;
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    GetWindowPlacement(window, &place);
    place.rcNormalPosition = r;
    place.showCmd = w.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    // A place on a monitor of another scale brings WM_DPICHANGED during the
    // call, whose suggested size is the remembered one scaled again.
    restoring = true;
    const bool restored = SetWindowPlacement(window, &place) != FALSE;
    restoring = false;
    return restored;
}
