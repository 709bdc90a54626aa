#include "editor/question_commands_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/editor_state_win32.h"
#include "editor/progress_window_win32.h"
#include "editor/recovery_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"
#include "picture_preparation/picture_batch.h"

namespace {

bool hasSelection() {
    return editor.selected >= 0 && static_cast<std::size_t>(editor.selected) < editor.document.questions.size();
}

std::size_t selectedIndex() { return static_cast<std::size_t>(editor.selected); }

void afterQuestionsChanged(int select) {
    showQuestionList(select);
    showCaption();
    keepRecoveryCopy();
}

}  // namespace

void addPictures() { addPictureFiles(choosePictures(atelierWindow, true)); }

void addQuestionWithoutPicture() {
    const std::vector<std::optional<PictureInput>> none(1);
    const AddedQuestions added = addQuestions(editor.document, none, preparePictures);
    if (added.added == 0) {
        if (!added.refused.empty()) showError(atelierWindow, L"La question n'est pas ajoutée : " + widen(added.refused[0].reason) + L".");
        return;
    }
    afterQuestionsChanged(static_cast<int>(editor.document.questions.size()) - 1);
}

// Every good picture becomes a question; one message then names each file
// left out, with why.
void addPictureFiles(std::vector<std::wstring> paths) {
    if (paths.empty()) return;
    std::vector<std::string> names;
    for (const std::wstring& path : paths) names.push_back(narrow(path));
    sortByFileName(names);
    std::vector<std::optional<PictureInput>> pictures;
    std::vector<RefusedPicture> refused;
    for (const std::string& name : names) {
        auto bytes = readFileWide(widen(name));
        if (!bytes) refused.push_back({narrow(fileNameOf(widen(name))), "le fichier ne peut pas être lu"});
        else pictures.push_back(PictureInput{name, std::move(*bytes)});
    }
    const int first = static_cast<int>(editor.document.questions.size());
    AddedQuestions added;
    {
        ProgressWindow progress(atelierWindow, L"Préparation des images…");
        added = addQuestions(editor.document, pictures, preparePictures, progress.callback());
    }
    refused.insert(refused.end(), added.refused.begin(), added.refused.end());
    if (added.added > 0) afterQuestionsChanged(first);
    if (refused.empty()) return;
    std::wstring message = added.added == 0 ? L"Aucune image n'est ajoutée :" : L"Ces fichiers ne sont pas ajoutés :";
    for (const RefusedPicture& file : refused) message += L"\r\n• " + widen(file.name) + L" : " + widen(file.reason) + L".";
    showError(atelierWindow, message);
}

void addDroppedFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    addPictureFiles(std::move(paths));
}

void changePicture() {
    if (!hasSelection()) return;
    const std::vector<std::wstring> chosen = choosePictures(atelierWindow, false);
    if (chosen.empty()) return;
    auto bytes = readFileWide(chosen.front());
    if (!bytes) {
        showError(atelierWindow, L"Impossible de lire " + chosen.front() + L".");
        return;
    }
    const Refusal refusal = setPicture(editor.document, selectedIndex(), PictureInput{narrow(chosen.front()), *bytes},
                                       preparePictures);
    if (!refusal.empty()) {
        showError(atelierWindow, widen(refusal));
        return;
    }
    afterQuestionsChanged(editor.selected);
}

void turnSelectedPicture(int quarterTurns) {
    if (!hasSelection() || !editor.document.questions[selectedIndex()].picture) return;
    const Refusal refusal = turnPicture(editor.document, selectedIndex(), quarterTurns, preparePictures);
    if (!refusal.empty()) {
        showError(atelierWindow, widen(refusal));
        return;
    }
    showListItem(editor.selected);
    showQuestion();
    showCaption();
    keepRecoveryCopy();
}

void removeSelectedQuestion() {
    if (!hasSelection()) return;
    removeQuestion(editor.document, selectedIndex());
    afterQuestionsChanged(editor.selected);
}

void moveSelectedQuestion(int direction) {
    if (!hasSelection() || !moveQuestion(editor.document, selectedIndex(), direction)) return;
    afterQuestionsChanged(editor.selected + direction);
}

void undoLastChange() {
    if (!undo(editor.document)) return;
    showDocumentAgain(editor.selected);
    keepRecoveryCopy();
}

void redoLastChange() {
    if (!redo(editor.document)) return;
    showDocumentAgain(editor.selected);
    keepRecoveryCopy();
}
