#include "editor/question_commands_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "editor/dialogs_win32.h"
#include "editor/document_view_win32.h"
#include "editor/editor_state_win32.h"
#include "editor/progress_window_win32.h"
#include "editor/text_win32.h"
#include "editor/wide_files_win32.h"

namespace {

bool hasSelection() {
    return editor.selected >= 0 && static_cast<std::size_t>(editor.selected) < editor.document.source.questions.size();
}

std::size_t selectedIndex() { return static_cast<std::size_t>(editor.selected); }

void afterQuestionsChanged(int select) {
    showQuestionList(select);
    showCaption();
}

}  // namespace

void addPictures() { addPictureFiles(choosePictures(atelierWindow, true)); }

void addQuestionWithoutPicture() {
    const std::vector<std::optional<PictureInput>> none(1);
    if (const Refusal refusal = addQuestions(editor.document, none); !refusal.empty()) {
        showError(atelierWindow, widen(refusal));
        return;
    }
    editor.thumbnails.push_back(-1);
    afterQuestionsChanged(static_cast<int>(editor.document.source.questions.size()) - 1);
}

void addPictureFiles(std::vector<std::wstring> paths) {
    if (paths.empty()) return;
    std::vector<std::string> names;
    for (const std::wstring& path : paths) names.push_back(narrow(path));
    sortByFileName(names);
    std::vector<std::optional<PictureInput>> pictures;
    std::wstring unreadable;
    for (const std::string& name : names) {
        auto bytes = readFileWide(widen(name));
        if (!bytes) unreadable += L"\r\n" + widen(name);
        else pictures.push_back(PictureInput{name, std::move(*bytes)});
    }
    if (!unreadable.empty()) {
        showError(atelierWindow, L"Ces fichiers ne peuvent pas être lus :" + unreadable);
        return;
    }
    const int first = static_cast<int>(editor.document.source.questions.size());
    Refusal refusal;
    {
        ProgressWindow progress(atelierWindow, L"Préparation des images…");
        refusal = addQuestions(editor.document, pictures, progress.callback());
    }
    if (!refusal.empty()) {
        showError(atelierWindow, widen(refusal));
        return;
    }
    editor.thumbnails.resize(editor.document.source.questions.size(), -1);
    afterQuestionsChanged(first);
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
    const Refusal refusal = setPicture(editor.document, selectedIndex(), PictureInput{narrow(chosen.front()), *bytes});
    if (!refusal.empty()) {
        showError(atelierWindow, widen(refusal));
        return;
    }
    editor.thumbnails[selectedIndex()] = -1;
    afterQuestionsChanged(editor.selected);
}

void removeSelectedQuestion() {
    if (!hasSelection()) return;
    removeQuestion(editor.document, selectedIndex());
    editor.thumbnails.erase(editor.thumbnails.begin() + editor.selected);
    afterQuestionsChanged(editor.selected);
}

void moveSelectedQuestion(int direction) {
    if (!hasSelection() || !moveQuestion(editor.document, selectedIndex(), direction)) return;
    const std::size_t other = direction < 0 ? selectedIndex() - 1 : selectedIndex() + 1;
    std::swap(editor.thumbnails[selectedIndex()], editor.thumbnails[other]);
    afterQuestionsChanged(editor.selected + direction);
}
