#include "session/question_order.h"

int nextQuestion(int current, int questionCount) {
    if (questionCount <= 0) return 0;
    return current + 1 >= questionCount ? 0 : current + 1;
}

int previousQuestion(int current, int questionCount) {
    if (questionCount <= 0) return 0;
    return current - 1 < 0 ? questionCount - 1 : current - 1;
}

int firstSlotOf(int index, int answersPerQuestion) { return index * answersPerQuestion + 1; }

int nextSlot(int slot, int total, int direction) {
    if (total <= 0) return 1;
    const int next = (slot - 1 + direction) % total;
    return (next < 0 ? next + total : next) + 1;
}
