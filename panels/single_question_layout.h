#pragma once
// Arithmetic of the single-question view: where the picture frame goes, and
// how the arrows move through the questions.

#include <optional>
#include <string>

#include "common/geometry.h"

// The frame's place for a bitmap of `bitmap` size (none: the frame keeps the
// full W x H at 5, 5). A narrower bitmap is centred across without the 5-pixel
// margin; a shorter one is centred down with it.
Rect pictureFramePlace(Size frame, std::optional<Size> bitmap);

// Next and previous wrap around; with no questions they stay on 0.
int nextQuestion(int current, int questionCount);
int previousQuestion(int current, int questionCount);

// The question selector's item for question `index` (0-based): "Image n°k".
std::string questionItemText(int index);

// The answer slot (1-based) that the single-question view shows for question
// `index`: its first answer.
int firstSlotOf(int index, int answersPerQuestion);
