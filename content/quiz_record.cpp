#include "content/quiz_record.h"

#include <algorithm>
#include <new>

void QuestionList::release() {
    QuestionEntry* node = head;
    while (node != nullptr) {
        QuestionEntry* next = node->next;
        delete node;
        node = next;
    }
    head = nullptr;
    tail = nullptr;
}

int QuestionList::size() const {
    int count = 0;
    for (const QuestionEntry* node = head; node != nullptr; node = node->next) ++count;
    return count;
}

int QuizRecord::solvedCount() const {
    int solved = 0;
    int visited = 0;
    for (const QuestionEntry* node = questions.head; node != nullptr && visited < questionCount;
         node = node->next, ++visited) {
        if (node->solved == 1) ++solved;
    }
    return solved;
}

void initialiseRecord(QuizRecord& record) {
    record.questions.release();
    record.showPictures = 0;
    record.quizName.assign("nom du zorbel");
    record.creatorName.assign(" createur");
    record.questionCount = 2;
    setBackgroundColour(record, InitialBackground);
    record.answersPerQuestion = 1;
    record.commentMode = 0;
    record.allCommentsShown = 0;
}

void setBackgroundColour(QuizRecord& record, Rgb colour) {
    record.backgroundRed = colour.red;
    record.backgroundGreen = colour.green;
    record.backgroundBlue = colour.blue;
    record.backgroundColour = colourValue(colour);
}

Rgb backgroundColourOf(const QuizRecord& record) {
    return {record.backgroundRed, record.backgroundGreen, record.backgroundBlue};
}

int answerSlotCount(const QuizRecord& record) {
    const long long slots =
        static_cast<long long>(std::max(record.questionCount, 0)) * std::max(record.answersPerQuestion, 0);
    return static_cast<int>(std::min<long long>(slots, MaxAnswerSlots));
}

bool addQuestion(QuizRecord& record, std::string_view answer, std::string_view secondAnswer,
                 std::string_view location) {
    auto* node = new (std::nothrow) QuestionEntry{};
    if (node == nullptr) return false;
    node->answer.assign(answer);
    node->secondAnswer.assign(secondAnswer);
    node->location.assign(location);
    QuestionList& list = record.questions;
    node->prev = list.tail;
    if (list.tail != nullptr) {
        list.tail->next = node;
    } else {
        list.head = node;
    }
    list.tail = node;
    return true;
}

const QuestionEntry* questionAt(const QuizRecord& record, int index) {
    const QuestionEntry* last = nullptr;
    int visited = 0;
    for (const QuestionEntry* node = record.questions.head; node != nullptr && visited <= index;
         node = node->next, ++visited) {
        last = node;
    }
    return last;
}

QuestionEntry* questionAt(QuizRecord& record, int index) {
    return const_cast<QuestionEntry*>(questionAt(static_cast<const QuizRecord&>(record), index));
}
