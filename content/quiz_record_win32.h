#pragma once
// The record's fonts and brushes, which only the Windows layer can make.

#include "content/quiz_record.h"

// The initial fonts and brushes: score and title fonts, the background brush
// of the record's colour and the four verdict brushes.
void createRecordGdiObjects(QuizRecord& record);

// A new background brush of the record's colour; the old one is deleted first.
void replaceBackgroundBrush(QuizRecord& record);

// Deletes the brushes and fonts in their documented order, then the questions.
void releaseRecord(QuizRecord& record);
