// Zorbel Atelier: start-up, the file named on the command line, and the
// message loop.

#include <windows.h>
#include <ole2.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <span>

#include "editor/dpi_win32.h"
#include "editor/editor_layout.h"
#include "editor/editor_state_win32.h"
#include "editor/editor_window_win32.h"
#include "editor/file_commands_win32.h"
#include "editor/recovery_win32.h"
#include "editor/settings_win32.h"
#include "editor/thumbnails_win32.h"

namespace {

// `atelier.exe [FILE]`: the file to open at start, if any.
std::wstring fileFromCommandLine() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring file = arguments != nullptr && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return file;
}

// A document taken back from a crash comes before the file asked for: with a
// copy left, the file waits for the offer. Otherwise it is opened before the
// window, whose first paint then shows it, and the thumbnails of the rows in
// sight are made meanwhile at the screen's scale.
StartFile startFile() {
    const std::wstring file = fileFromCommandLine();
    if (file.empty() || recoveryCopiesLeft()) return {file, L"", false};
    const StartFile start = openBeforeWindow(file);
    editor.scale = dpiOfWindow(nullptr) / double(DefaultDpi);
    makeThumbnailList(nullptr);
    const std::vector<SharedPrepared> pictures = preparedPictures(editor.document);
    const Size client{scaled(EditorStartClient.width), scaled(EditorStartClient.height)};
    const auto rows = static_cast<std::size_t>(questionListRowsInSight(client, editor.scale));
    makeThumbnailsFirst(std::span(pictures).first(std::min(rows, pictures.size())));
    return start;
}

int runMessageLoop(HWND window, HACCEL keys) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window, keys, &message)) continue;
        // Tab and Shift+Tab move between the fields.
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

// The window thread is a single-threaded apartment for as long as it runs:
// the shell (the Aide's link) and the system's picture codecs want COM there.
struct OleApartment {
    HRESULT joined = OleInitialize(nullptr);
    ~OleApartment() {
        if (SUCCEEDED(joined)) OleUninitialize();
    }
};

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const OleApartment apartment;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    if (!registerEditorClass(instance)) return 1;
    loadSettings();
    // Until the window is drawn and a file it waited for opened, only the
    // thumbnails of rows in sight are made.
    holdThumbnailsBehind(true);
    const StartFile start = startFile();
    HWND window = createEditorWindow(instance);
    if (window == nullptr) {
        stopThumbnails();
        return 1;
    }
    if (!settings().window || !restoreWindowPlace(window)) ShowWindow(window, show);
    fitIntoWorkArea(window);
    // Drawn first with the thumbnails made meanwhile.
    onThumbnailsReady();
    UpdateWindow(window);
    const bool recovered = startRecovery(window);
    if (!start.path.empty() && !recovered) openAfterWindow(start);
    holdThumbnailsBehind(false);
    HACCEL keys = createEditorAccelerators();
    const int exitCode = runMessageLoop(window, keys);
    DestroyAcceleratorTable(keys);
    return exitCode;
}
