#pragma once
// How the game moves through a quiz: the arrows from question to question,
// Tab from answer slot to answer slot, and the slot the single view shows.

// Next and previous wrap around; with no questions they stay on 0.
int nextQuestion(int current, int questionCount);
int previousQuestion(int current, int questionCount);

// The answer slot (1-based) that the single-question view shows for question
// `index`: its first answer.
int firstSlotOf(int index, int answersPerQuestion);

// Tab and Shift+Tab (direction -1) cycle through the slots 1 ... total.
int nextSlot(int slot, int total, int direction);
