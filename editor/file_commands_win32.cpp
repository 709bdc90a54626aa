#include "editor/file_commands_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <span>

#include "authoring/cp1252.h"
#include "authoring/pe_resources.h"
#include "authoring/picture_resources.h"
#include "editing/quiz_document.h"
#include "editing/quiz_review.h"
#include "authoring/quiz_source.h"
#include "authoring/scorm_package.h"
#include "authoring/web_page.h"
#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/editor_state_win32.h"
#include "editing/file_names.h"
#include "editing/file_stamp.h"
#include "editor/progress_window_win32.h"
#include "editor/recovery_win32.h"
#include "editor/settings_win32.h"
#include "editor/text_dialog_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"
#include "picture_preparation/picture_batch.h"
#include "zorbel_version.h"

namespace {

// The quiz executable the document makes; none after a message.
std::optional<std::vector<std::uint8_t>> quizExecutable() {
    const QuizResources quiz = documentResources(editor.document, narrow(documentName()));
    if (!quiz.ok()) {
        showError(atelierWindow, L"Le quiz ne peut pas être fabriqué : " + widen(quiz.error));
        return std::nullopt;
    }
    const PeWriteResult built = writePeResources(carriedPlayer(), quiz.resources);
    if (built.error != PeError::Ok) {
        showError(atelierWindow, L"Le lecteur de quiz de l'Atelier est endommagé : réinstallez Zorbel Atelier.");
        return std::nullopt;
    }
    return built.image;
}

bool chooseFileAndSave();

// The document's own file changed on disk since it was opened or saved (by
// another Atelier, a copy, anything): the author chooses. None: write it;
// else whether the document was saved, under another name, instead.
std::optional<bool> answerChangedElsewhere(const std::wstring& path) {
    if (path != editor.path || !editor.pathStamp) return std::nullopt;
    const auto now = readFileWide(path);
    if (!now || stampOf(*now) == *editor.pathStamp) return std::nullopt;
    switch (askChangedElsewhere(atelierWindow, fileNameOf(path))) {
        case ChangedElsewhere::Replace: return std::nullopt;
        case ChangedElsewhere::SaveAs: return chooseFileAndSave();
        case ChangedElsewhere::Cancel: break;
    }
    return false;
}

bool writeDocument(const std::wstring& path) {
    if (const std::optional<bool> instead = answerChangedElsewhere(path)) return *instead;
    const auto image = quizExecutable();
    if (!image) return false;
    const std::wstring name = fileNameOf(path);
    switch (replaceFileWide(path, *image)) {
        case SaveOutcome::Saved:
            editor.path = path;
            editor.pathStamp = stampOf(*image);
            noteOpenedFile(path);
            markSaved(editor.document);
            dropRecoveryCopy();
            rememberRecentFile(path);
            showCaption();
            return true;
        case SaveOutcome::InUse:
            showError(atelierWindow, name + L" est ouvert par un autre programme (le quiz est peut-être en cours de "
                                            L"jeu). Fermez-le, puis enregistrez de nouveau : rien n'est perdu.");
            return false;
        case SaveOutcome::Failed: break;
    }
    showError(atelierWindow, L"Impossible d'enregistrer " + name + L". Le fichier précédent est intact.");
    return false;
}

std::wstring withExtension(const std::wstring& name, const wchar_t* extension) {
    const std::size_t dot = name.find_last_of(L'.');
    return (dot == std::wstring::npos ? name : name.substr(0, dot)) + extension;
}

// The user's Documents folder; empty when the system does not say.
std::wstring documentsFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

// Where a quiz never saved is first proposed: in Documents, named after the
// quiz (or after the source it came from).
std::wstring suggestedFileName() {
    if (!editor.path.empty()) return editor.path;
    const std::string& quizName = editor.document.quiz.quizName;
    std::wstring name = !quizName.empty() ? widen(quizFileStem(cp1252ToUtf8(quizName))) + L".exe"
                        : !editor.suggestedName.empty() ? editor.suggestedName
                                                         : std::wstring(L"mon_quiz.exe");
    const std::wstring documents = documentsFolder();
    return documents.empty() ? name : documents + L"\\" + name;
}

// Kept whole, so that a file named from any folder is found again (recent files, recovery).
std::wstring fullPath(const std::wstring& given) {
    wchar_t full[32768] = {};
    const DWORD length = GetFullPathNameW(given.c_str(), 32768, full, nullptr);
    return length > 0 && length < 32768 ? std::wstring(full) : given;
}

bool isQuizSource(const std::wstring& path) { return extensionOf(path) == L".toml"; }

std::wstring unreadable(const std::wstring& path) { return L"Impossible de lire " + fileNameOf(path) + L"."; }

std::wstring notAQuiz(const std::wstring& path, const OpenedDocument& opened) {
    return fileNameOf(path) + L" : " + widen(opened.error);
}

void adopt(QuizDocument document, const std::wstring& path, const std::wstring& suggested,
           std::optional<FileStamp> stamp = std::nullopt) {
    editor.document = std::move(document);
    editor.path = path;
    editor.pathStamp = stamp;
    editor.suggestedName = suggested;
    showDocument(0);
    noteOpenedFile(path);
}

// Said before the document is shown: the author may still keep away from it.
void tellIfOpenElsewhere(const std::wstring& path) {
    if (openInAnotherAtelier(path)) showInformation(atelierWindow, widen(openElsewhereMessage(narrow(fileNameOf(path)))));
}

// What opening had to mend, said once the document is shown.
void tellNotes(const std::wstring& path, const std::vector<std::string>& notes) {
    for (const std::string& note : notes) showInformation(atelierWindow, fileNameOf(path) + L" : " + widen(note));
}

// The picture a source names, found where quizmake finds it.
std::optional<std::vector<std::uint8_t>> readSourcePicture(const std::wstring& folder, const std::string& written) {
    for (const std::string& candidate : pictureCandidates(written)) {
        std::wstring relative = widen(candidate);
        std::replace(relative.begin(), relative.end(), L'/', L'\\');
        if (auto bytes = readFileWide(folder + L"\\" + relative)) return bytes;
    }
    return std::nullopt;
}

// A quiz source and the pictures beside it, read as the author wrote them.
std::optional<OpenedDocument> importSource(const std::vector<std::uint8_t>& text, const std::wstring& path) {
    const ParsedSource parsed = parseQuizSource({reinterpret_cast<const char*>(text.data()), text.size()});
    if (!parsed.ok()) {
        showError(atelierWindow, fileNameOf(path) + L" : " + widen(frenchSourceError(parsed.error)));
        return std::nullopt;
    }
    std::vector<std::optional<PictureInput>> pictures;
    for (const SourceQuestion& question : parsed.source.questions) {
        if (question.picture.empty()) {
            pictures.emplace_back();
            continue;
        }
        auto bytes = readSourcePicture(folderOf(path), question.picture);
        if (!bytes) {
            showError(atelierWindow, L"Image introuvable ou illisible : " + folderOf(path) + L"\\" + widen(question.picture));
            return std::nullopt;
        }
        pictures.push_back(PictureInput{question.picture, std::move(*bytes)});
    }
    ProgressWindow progress(atelierWindow, L"Préparation des images…");
    return documentFromSource(parsed.source, std::move(pictures), preparePictures, progress.callback());
}

// What will surprise the players, said before the file is written; true to
// save all the same. "Revenir" shows the first question concerned.
bool reviewedBeforeSaving() {
    const std::vector<ReviewPoint> points = pointsBeforeSaving(editor.document);
    if (points.empty()) return true;
    std::wstring text;
    for (const ReviewPoint& point : points) text += L"• " + widen(point.text) + L"\n";
    if (confirmSaveDespite(atelierWindow, text)) return true;
    for (const ReviewPoint& point : points) {
        if (point.question) {
            showQuestionList(static_cast<int>(*point.question));
            break;
        }
    }
    return false;
}

bool chooseFileAndSave() {
    const auto path = chooseFileToSave(atelierWindow, suggestedFileName());
    return path && writeDocument(*path);
}

}  // namespace

std::span<const std::uint8_t> carriedPlayer() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), L"ZORBELPLAYER");
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, found)};
}

bool confirmDiscard() {
    bool putAside = !isModified(editor.document);
    if (!putAside) {
        switch (askYesNoCancel(atelierWindow, L"Enregistrer les modifications apportées à " + documentName() + L" ?")) {
            case Answer::Yes: putAside = saveQuiz(); break;
            case Answer::No: putAside = true; break;
            case Answer::Cancel: break;
        }
    }
    // Saved or given up: nothing left to recover.
    if (putAside) dropRecoveryCopy();
    return putAside;
}

void newQuiz() {
    if (confirmDiscard()) adopt(newDocument(), L"", L"");
}

void openQuiz() {
    if (!confirmDiscard()) return;
    if (const auto path = chooseFileToOpen(atelierWindow)) openFile(*path);
}

bool openFile(const std::wstring& given) {
    const std::wstring path = fullPath(given);
    const auto bytes = readFileWide(path);
    if (!bytes) {
        showError(atelierWindow, unreadable(path));
        return false;
    }
    if (isQuizSource(path)) {
        auto opened = importSource(*bytes, path);
        if (!opened) return false;
        adopt(std::move(opened->document), L"", withExtension(fileNameOf(path), L".exe"));
        tellNotes(path, opened->notes);
        rememberRecentFile(path);
        return true;
    }
    OpenedDocument opened = documentFromExecutable(*bytes);
    if (!opened.error.empty()) {
        showError(atelierWindow, notAQuiz(path, opened));
        return false;
    }
    tellIfOpenElsewhere(path);
    adopt(std::move(opened.document), path, L"", stampOf(*bytes));
    tellNotes(path, opened.notes);
    rememberRecentFile(path);
    return true;
}

StartFile openBeforeWindow(const std::wstring& given) {
    StartFile start{fullPath(given), L"", false};
    if (isQuizSource(start.path)) return start;
    const auto bytes = readFileWide(start.path);
    if (!bytes) {
        start.error = unreadable(start.path);
        return start;
    }
    OpenedDocument opened = documentFromExecutable(*bytes);
    if (!opened.error.empty()) {
        start.error = notAQuiz(start.path, opened);
        return start;
    }
    // Opened again after the window, where its notes can be said.
    if (!opened.notes.empty()) return start;
    editor.document = std::move(opened.document);
    editor.path = start.path;
    editor.pathStamp = stampOf(*bytes);
    start.adopted = true;
    return start;
}

void openAfterWindow(const StartFile& start) {
    if (!start.error.empty()) return showError(atelierWindow, start.error);
    if (start.adopted) {
        tellIfOpenElsewhere(start.path);
        noteOpenedFile(start.path);
        return rememberRecentFile(start.path);
    }
    openFile(start.path);
}

void openRecentFile(std::size_t index) {
    AtelierSettings& remembered = settings();
    if (index >= remembered.recentFiles.size()) return;
    const std::string path = remembered.recentFiles[index];
    if (GetFileAttributesW(widen(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        forgetFile(remembered, path);
        saveSettings();
        showError(atelierWindow, L"« " + widen(path) + L" » n'existe plus : il est retiré des fichiers récents.");
        return;
    }
    if (confirmDiscard()) openFile(widen(path));
}

bool saveQuiz() {
    if (!reviewedBeforeSaving()) return false;
    return editor.path.empty() ? chooseFileAndSave() : writeDocument(editor.path);
}

bool saveQuizAs() { return reviewedBeforeSaving() && chooseFileAndSave(); }


void exportSource() {
    const auto path = chooseSourceToExport(atelierWindow, withExtension(fileNameOf(suggestedFileName()), L".toml"));
    if (!path) return;
    const QuizResources quiz = documentResources(editor.document, narrow(documentName()));
    if (!quiz.ok()) {
        showError(atelierWindow, L"La source ne peut pas être écrite : " + widen(quiz.error));
        return;
    }
    QuizSource source = savedSource(editor.document);
    for (std::size_t i = 0; i < source.questions.size(); ++i) {
        const Resource* picture = findPicture(quiz.resources, i);
        if (picture == nullptr) continue;
        source.questions[i].picture = pictureFileName(*picture);
        const std::wstring picturePath = folderOf(*path) + L"\\" + widen(source.questions[i].picture);
        if (replaceFileWide(picturePath, picture->data) != SaveOutcome::Saved) {
            showError(atelierWindow, L"Impossible d'écrire " + picturePath + L".");
            return;
        }
    }
    const std::string text = formatQuizSource(source);
    if (replaceFileWide(*path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}) !=
        SaveOutcome::Saved) {
        showError(atelierWindow, L"Impossible d'écrire " + fileNameOf(*path) + L".");
    }
}

void exportWebPage() {
    if (!reviewedBeforeSaving()) return;
    const auto path = chooseWebPageToExport(atelierWindow, withExtension(fileNameOf(suggestedFileName()), L".html"));
    if (!path) return;
    const QuizResources quiz = documentResources(editor.document, narrow(documentName()));
    if (!quiz.ok()) {
        showError(atelierWindow, L"La page web ne peut pas être fabriquée : " + widen(quiz.error));
        return;
    }
    const WebPage page = webPage(webQuizOf(quiz), builtInWebPageAssets(), ZORBEL_VERSION_TEXT);
    if (!page.ok()) {
        showError(atelierWindow, L"La page web ne peut pas être fabriquée : " + widen(page.error));
        return;
    }
    if (replaceFileWide(*path, {reinterpret_cast<const std::uint8_t*>(page.html.data()), page.html.size()}) !=
        SaveOutcome::Saved) {
        showError(atelierWindow, L"Impossible d'écrire " + fileNameOf(*path) + L". Le fichier précédent est intact.");
    }
}

void exportScormPackage() {
    if (!reviewedBeforeSaving()) return;
    const PassMarkAnswer pass = askPassMark(atelierWindow);
    if (!pass.chosen) return;
    const auto path = chooseScormPackageToExport(atelierWindow, withExtension(fileNameOf(suggestedFileName()), L".zip"));
    if (!path) return;
    const QuizResources quiz = documentResources(editor.document, narrow(documentName()));
    if (!quiz.ok()) {
        showError(atelierWindow, L"Le paquet SCORM ne peut pas être fabriqué : " + widen(quiz.error));
        return;
    }
    const ScormPackage package = scormPackage(webQuizOf(quiz), builtInWebPageAssets(), ZORBEL_VERSION_TEXT, pass.passMark);
    if (!package.ok()) {
        showError(atelierWindow, L"Le paquet SCORM ne peut pas être fabriqué : " + widen(package.error));
        return;
    }
    if (replaceFileWide(*path, package.zip) != SaveOutcome::Saved) {
        showError(atelierWindow, L"Impossible d'écrire " + fileNameOf(*path) + L". Le fichier précédent est intact.");
    }
}

void testQuiz() {
    const auto image = quizExecutable();
    if (!image) return;
    const auto folder = newTestFolder();
    const std::wstring program = folder ? *folder + L"\\" + withExtension(fileNameOf(suggestedFileName()), L".exe") : L"";
    if (!folder || replaceFileWide(program, *image) != SaveOutcome::Saved) {
        showError(atelierWindow, L"Impossible de préparer l'essai du quiz dans le dossier temporaire.");
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder->c_str(),
                        &startup, &process)) {
        showError(atelierWindow, L"Impossible de lancer l'essai du quiz.");
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
