#include "tests/e2e/atelier_driver_win32.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "resources/contract_ids.h"
#include "tests/e2e/desktop_win32.h"

namespace {

// Memory in the editor's process, for messages that carry pointers.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, std::size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    void* address() const { return address_; }
    void write(std::size_t offset, const void* bytes, std::size_t size) const {
        WriteProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size, nullptr);
    }
    void read(std::size_t offset, void* bytes, std::size_t size) const {
        ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, bytes, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_;
};

// The file-name box of an open or save dialog: the edit of combo box 1148, or edit 1152.
HWND fileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 1148)) {
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, 1152);
}

}  // namespace

AtelierRun::AtelierRun() : folder_(freshFolder("zorbel-atelier")), appData_(folder_ / "AppData") {}

void AtelierRun::kill() {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
}

AtelierRun::~AtelierRun() { endRun(process_, folder_); }

std::filesystem::path AtelierRun::copyIn(const std::filesystem::path& fromTestPrograms, const std::string& as) {
    const std::filesystem::path to = folder_ / (as.empty() ? fromTestPrograms.filename() : std::filesystem::path(as));
    std::filesystem::copy_file(testProgramFolder() / fromTestPrograms, to,
                               std::filesystem::copy_options::overwrite_existing);
    return to;
}

bool AtelierRun::start(const std::wstring& argument, const std::filesystem::path& atelier) {
    const std::wstring program = (testProgramFolder() / atelier).wstring();
    std::wstring commandLine = L"\"" + program + L"\"" + (argument.empty() ? L"" : L" \"" + argument + L"\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // What the editor remembers (recovery copies, recent files) stays in this run's folder.
    std::filesystem::create_directories(appData_);
    SetEnvironmentVariableW(L"LOCALAPPDATA", appData_.wstring().c_str());
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.wstring().c_str(), &startup, &process_)) {
        return false;
    }
    char className[64] = {};
    WideCharToMultiByte(CP_ACP, 0, AtelierWindowClass, -1, className, sizeof className, nullptr, nullptr);
    eventually([&] { return (window_ = topLevelWindow(process_.dwProcessId, className)) != nullptr; },
               std::chrono::milliseconds(15000));
    if (window_ != nullptr) WaitForInputIdle(process_.hProcess, 5000);
    return window_ != nullptr;
}

std::wstring AtelierRun::text(int id) const { return windowTextOf(control(id)); }
std::wstring AtelierRun::caption() const { return windowTextOf(window_); }

COLORREF AtelierRun::fillColour(int id) const {
    const RECT rect = screenRect(control(id));
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.left + 3, rect.top + 3);
    ReleaseDC(nullptr, screen);
    return colour;
}

void AtelierRun::click(int id) {
    const RECT rect = screenRect(control(id));
    clickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void AtelierRun::typeInto(int id, const std::wstring& text) {
    // The first click on a freshly started display can be lost: click until the field has the focus.
    for (int attempt = 0; attempt < 3; ++attempt) {
        click(id);
        if (eventually([&] { return focusedIn(process_.dwThreadId) == control(id); }, std::chrono::milliseconds(1500))) {
            break;
        }
    }
    pressKeys({VK_CONTROL}, VK_HOME);
    pressKeys({VK_CONTROL, VK_SHIFT}, VK_END);
    pressKeys({}, VK_DELETE);
    typeText(text);
}

void AtelierRun::press(std::initializer_list<WORD> held, WORD key) { pressKeys(held, key); }

int AtelierRun::questionCount() const {
    return static_cast<int>(SendMessageW(control(atelierid::QuestionList), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring AtelierRun::questionText(int index) const {
    constexpr std::size_t Characters = 512;
    const RemoteBlock block(process_.hProcess, sizeof(LVITEMW) + Characters * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = 0;
    item.cchTextMax = Characters;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(block.address()) + sizeof(LVITEMW));
    block.write(0, &item, sizeof item);
    SendMessageW(control(atelierid::QuestionList), LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(block.address()));
    wchar_t text[Characters] = {};
    block.read(sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t));
    return text;
}

namespace {

// Part `part` (LVIR_BOUNDS, LVIR_ICON...) of a list item, in the list's client coordinates.
std::optional<RECT> itemRect(HANDLE process, HWND list, int index, LONG part) {
    RemoteBlock rect(process, sizeof(RECT));
    const RECT asked{part, 0, 0, 0};
    rect.write(0, &asked, sizeof asked);
    if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect.address())) == 0) {
        return std::nullopt;
    }
    RECT got{};
    rect.read(0, &got, sizeof got);
    return got;
}

}  // namespace

int AtelierRun::questionRowHeight() const {
    const auto row = itemRect(process_.hProcess, control(atelierid::QuestionList), 0, LVIR_BOUNDS);
    return row ? row->bottom - row->top : 0;
}

bool AtelierRun::thumbnailShown(int index) const {
    HWND list = control(atelierid::QuestionList);
    auto icon = itemRect(process_.hProcess, list, index, LVIR_ICON);
    if (!icon) return false;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&*icon), 2);
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const int width = icon->right - icon->left;
    const int height = icon->bottom - icon->top;
    for (const POINT at : {POINT{width / 2, height / 2}, POINT{width / 4, height / 4}, POINT{width * 3 / 4, height * 3 / 4}}) {
        if (!closeTo(screenPixel(icon->left + at.x, icon->top + at.y), background, 8)) return true;
    }
    return false;
}

int AtelierRun::lastVisibleQuestion() const {
    HWND list = control(atelierid::QuestionList);
    const auto top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const auto page = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    return std::min(top + page, questionCount()) - 1;
}

void AtelierRun::moveToMonitorOfDpi(unsigned fromDpi, unsigned dpi) {
    RECT suggested = screenRect(window_);
    suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, static_cast<int>(dpi), static_cast<int>(fromDpi));
    suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, static_cast<int>(dpi), static_cast<int>(fromDpi));
    // The rectangle lives in the editor's memory, where it reads it.
    RemoteBlock rect(process_.hProcess, sizeof(RECT));
    rect.write(0, &suggested, sizeof suggested);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(rect.address()),
                        SMTO_NORMAL, 10000, &ignored);
}

void AtelierRun::clickQuestion(int index) {
    const RemoteBlock block(process_.hProcess, sizeof(RECT));
    RECT rect{LVIR_LABEL, 0, 0, 0};
    block.write(0, &rect, sizeof rect);
    HWND list = control(atelierid::QuestionList);
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.address()));
    block.read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    clickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void AtelierRun::dropFiles(const std::vector<std::filesystem::path>& files) {
    std::wstring names;
    for (const auto& file : files) names += file.wstring() + L'\0';
    names += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    // The block lives in the editor, which frees it with DragFinish.
    const std::size_t size = sizeof header + names.size() * sizeof(wchar_t);
    void* block = VirtualAllocEx(process_.hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process_.hProcess, block, &header, sizeof header, nullptr);
    WriteProcessMemory(process_.hProcess, static_cast<char*>(block) + sizeof header, names.data(),
                       names.size() * sizeof(wchar_t), nullptr);
    PostMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    pause(300);
}

std::optional<BoxSeen> AtelierRun::answerBox(int id, std::chrono::milliseconds timeout) {
    return answerMessageBox(process_.dwProcessId, id, timeout);
}

std::optional<std::wstring> AtelierRun::fileDialogProposal() const {
    HWND dialog = nullptr;
    const auto isFileDialog = [](HWND window) { return fileNameBox(window) != nullptr; };
    if (!eventually([&] { return (dialog = topLevelWindow(process_.dwProcessId, "#32770", isFileDialog)) != nullptr; },
                    std::chrono::milliseconds(10000))) {
        return std::nullopt;
    }
    return windowTextOf(fileNameBox(dialog));
}

bool AtelierRun::chooseInFileDialog(const std::wstring& path) {
    HWND dialog = nullptr;
    const auto isFileDialog = [](HWND window) { return fileNameBox(window) != nullptr; };
    if (!eventually([&] { return (dialog = topLevelWindow(process_.dwProcessId, "#32770", isFileDialog)) != nullptr; },
                    std::chrono::milliseconds(10000))) {
        return false;
    }
    SendMessageW(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    // Saving over a file asks first: yes.
    const bool closed = eventually([&] {
        if (HWND replace = messageBoxOf(process_.dwProcessId)) PostMessageW(replace, WM_COMMAND, IDYES, 0);
        return !IsWindow(dialog);
    });
    pause(300);
    return closed;
}

bool AtelierRun::answerPassMark(const std::wstring& passMark) {
    HWND dialog = nullptr;
    const auto asksPassMark = [](HWND window) { return GetDlgItem(window, atelierid::PassMark) != nullptr; };
    if (!eventually([&] { return (dialog = topLevelWindow(process_.dwProcessId, "#32770", asksPassMark)) != nullptr; },
                    std::chrono::milliseconds(10000))) {
        return false;
    }
    SendMessageW(GetDlgItem(dialog, atelierid::PassMark), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(passMark.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return eventually([&] { return !IsWindow(dialog); });
}

bool AtelierRun::running() const {
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool AtelierRun::waitForExit() { return WaitForSingleObject(process_.hProcess, 15000) == WAIT_OBJECT_0; }
