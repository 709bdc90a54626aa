#include "panels/verdict_label_win32.h"

#include "common/app_state_win32.h"
#include "content/quiz_record.h"
#include "grading/verdict.h"

INT_PTR verdictLabelColours(HDC dc, HWND label) {
    char text[TextCapacity] = {};
    GetWindowTextA(label, text, static_cast<int>(TextCapacity));
    BrushHandle brush = nullptr;
    switch (verdictColour(text)) {
        case VerdictColour::System: return FALSE;
        case VerdictColour::Right: brush = quiz->rightBrush; break;
        case VerdictColour::Wrong: brush = quiz->wrongBrush; break;
        case VerdictColour::Anagram: brush = quiz->anagramBrush; break;
        case VerdictColour::Hint: brush = quiz->hintBrush; break;
    }
    SetBkMode(dc, TRANSPARENT);
    return brushResult(asBrush(brush));
}
