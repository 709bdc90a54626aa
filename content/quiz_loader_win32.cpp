#include "content/quiz_loader_win32.h"

#include <windows.h>

#include <string>

#include "content/quiz_loader.h"
#include "content/quiz_record_win32.h"
#include "resources/contract_ids.h"

namespace {

// The bytes of one resource of this executable; empty when it does not exist.
struct ResourceBytes {
    HGLOBAL loaded = nullptr;
    std::span<const std::uint8_t> bytes;

    ResourceBytes(int id, const char* type) {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) return;
        loaded = LoadResource(nullptr, found);
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data != nullptr) bytes = {static_cast<const std::uint8_t*>(data), SizeofResource(nullptr, found)};
    }
    ~ResourceBytes() {
        if (loaded != nullptr) FreeResource(loaded);
    }
    ResourceBytes(const ResourceBytes&) = delete;
    ResourceBytes& operator=(const ResourceBytes&) = delete;
};

}  // namespace

void loadQuiz(QuizRecord& record) {
    LoadOutcome outcome;
    {
        const ResourceBytes definition(DefinitionResourceId, QuizTextResourceType);
        const ResourceBytes codes(CodesResourceId, QuizTextResourceType);
        outcome = loadQuizContent(record, definition.bytes, codes.bytes);
    }
    for (const LoaderMessage& message : outcome.messages) {
        MessageBoxA(nullptr, std::string(message.text).c_str(), std::string(message.caption).c_str(), MB_OK);
    }
    replaceBackgroundBrush(record);
}
