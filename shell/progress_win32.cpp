#include "shell/progress_win32.h"

#include <windows.h>

#include <vector>

#include "common/app_state_win32.h"
#include "content/quiz_record.h"
#include "panels/single_question_panel_win32.h"
#include "resources/contract_ids.h"
#include "shell/progress_file.h"
#include "shell/progress_format.h"

std::string progressFilePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return progressFileName(path);
}

void saveProgress() {
    const int slots = answerSlotCount(*quiz);
    if (slots == 0) return;
    std::vector<Text> answers(static_cast<std::size_t>(slots));
    if (singleViewActive == SingleQuestionView) {
        commitAnswerField();
        for (int s = 0; s < slots; ++s) answers[static_cast<std::size_t>(s)] = quiz->typedAnswers[static_cast<std::size_t>(s)];
    } else {
        for (int s = 1; s <= slots; ++s) {
            GetDlgItemTextA(overviewPanel, controlid::OverviewFieldBase + s, answers[static_cast<std::size_t>(s - 1)].data(),
                            static_cast<int>(TextCapacity));
        }
    }
    writeProgressFile(progressFilePath(), answers);
}
