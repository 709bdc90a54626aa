#include "content/quiz_record_win32.h"

#include <windows.h>

namespace {

COLORREF colourRef(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

BrushHandle solidBrush(Rgb colour) { return CreateSolidBrush(colourRef(colour)); }

FontHandle fontOf(LONG height, LONG weight, BYTE italic) {
    LOGFONTA description{};
    description.lfHeight = height;
    description.lfWeight = weight;
    description.lfItalic = italic;
    return CreateFontIndirectA(&description);
}

void deleteHandle(void*& handle) {
    if (handle != nullptr) DeleteObject(static_cast<HGDIOBJ>(handle));
    handle = nullptr;
}

}  // namespace

void createRecordGdiObjects(QuizRecord& record) {
    record.scoreFont = fontOf(25, FW_NORMAL, FALSE);
    record.titleFont = fontOf(-15, FW_BOLD, TRUE);
    replaceBackgroundBrush(record);
    record.wrongBrush = solidBrush(WrongColour);
    record.rightBrush = solidBrush(RightColour);
    record.anagramBrush = solidBrush(AnagramColour);
    record.hintBrush = solidBrush(HintColour);
}

void replaceBackgroundBrush(QuizRecord& record) {
    deleteHandle(record.backgroundBrush);
    record.backgroundBrush = solidBrush(backgroundColourOf(record));
}

void releaseRecord(QuizRecord& record) {
    deleteHandle(record.backgroundBrush);
    deleteHandle(record.wrongBrush);
    deleteHandle(record.rightBrush);
    deleteHandle(record.anagramBrush);
    deleteHandle(record.hintBrush);
    deleteHandle(record.titleFont);
    deleteHandle(record.answerFont);
    deleteHandle(record.scoreFont);
    record.questions.release();
}
