// Any bytes as calls of the Atelier module's C interface, as a page (or a
// hostile script) could make them: any order, any numbers, any bytes lent.
// Nothing crashes or reads out of bounds, and every JSON handed out parses.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include <nlohmann/json.hpp>

extern "C" {
std::uint8_t* zqa_buffer(int size);
int zqa_bytes_size();
void zqa_new();
const char* zqa_state();
const char* zqa_comment_modes();
const char* zqa_review();
const char* zqa_try(int question, int size);
const char* zqa_set_quiz_text(int field, int size);
const char* zqa_set_question_text(int question, int field, int size);
const char* zqa_set_codes(int size);
const char* zqa_set_answers_per_question(int answers);
const char* zqa_set_comment_mode(int mode);
void zqa_set_pictures_in_overview(int shown);
void zqa_set_background(int rgb);
const char* zqa_pictures_for_turn(int question, int quarterTurns);
const char* zqa_pictures_for_background(int rgb);
void zqa_end_typing();
int zqa_undo();
int zqa_redo();
int zqa_remove_question(int question);
int zqa_move_question(int question, int direction);
const char* zqa_turn_picture(int question, int quarterTurns);
void zqa_stage_clear();
void zqa_stage_none();
int zqa_stage_picture(int nameSize, int size);
int zqa_offer_prepared(int originalSize, int preparedSize, int kind, int background, int quarterTurns);
int zqa_offer_refused(int originalSize, int problem, int format, int reader, int missing, int pixelLimit,
                      int background, int quarterTurns);
const char* zqa_add_staged();
const std::uint8_t* zqa_original_picture(int question);
const std::uint8_t* zqa_prepared_picture(int question);
const char* zqa_open_executable(int size);
const char* zqa_open_bundle(int size);
const char* zqa_open_notes();
const char* zqa_changed_elsewhere(int size);
const char* zqa_parse_source(int size);
const char* zqa_open_parsed_source();
const std::uint8_t* zqa_save_executable(int playerSize);
const std::uint8_t* zqa_bundle();
const char* zqa_error();
void zqa_mark_saved();
const char* zqa_order_by_name(int size);
int zqa_typed_pass_mark(int size);
}

namespace {

class Calls {
public:
    explicit Calls(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool done() const { return at_ >= bytes_.size(); }
    std::uint8_t byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    // Small numbers mostly, and now and then any number at all.
    int number() {
        const std::uint8_t kind = byte();
        if (kind < 200) return static_cast<int>(kind % 12) - 2;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | byte();
        return static_cast<int>(value);
    }
    // The next bytes lent to the module; the size said may differ from what was written.
    int lend() {
        const std::size_t wanted = byte() * 4u;  // read before what is left is counted
        const std::size_t length = std::min(wanted, bytes_.size() - std::min(at_, bytes_.size()));
        std::uint8_t* buffer = zqa_buffer(static_cast<int>(length));
        if (length > 0) std::memcpy(buffer, bytes_.data() + at_, length);
        at_ += length;
        return byte() < 230 ? static_cast<int>(length) : number();
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

void parses(const char* json) {
    if (json != nullptr && nlohmann::json::accept(json)) return;
    std::fprintf(stderr, "not JSON: %s\n", json != nullptr ? json : "(none)");
    std::abort();
}

void text(const char* refusal) {
    if (refusal == nullptr) std::abort();
}

void step(Calls& calls) {
    switch (calls.byte() % 35) {
        case 0: zqa_new(); break;
        case 1: { const int size = calls.lend(); text(zqa_set_quiz_text(calls.number(), size)); break; }
        case 2: { const int size = calls.lend(); text(zqa_set_question_text(calls.number(), calls.number(), size)); break; }
        case 3: text(zqa_set_codes(calls.lend())); break;
        case 4: text(zqa_set_answers_per_question(calls.number())); break;
        case 5: text(zqa_set_comment_mode(calls.number())); break;
        case 6: zqa_set_pictures_in_overview(calls.number()); break;
        case 7: zqa_set_background(calls.number()); break;
        case 8: parses(zqa_pictures_for_turn(calls.number(), calls.number())); break;
        case 9: parses(zqa_pictures_for_background(calls.number())); break;
        case 10: zqa_end_typing(); break;
        case 11: zqa_undo(); break;
        case 12: zqa_redo(); break;
        case 13: zqa_remove_question(calls.number()); break;
        case 14: zqa_move_question(calls.number(), calls.number()); break;
        case 15: text(zqa_turn_picture(calls.number(), calls.number())); break;
        case 16: zqa_stage_clear(); break;
        case 17: zqa_stage_none(); break;
        case 18: { const int size = calls.lend(); zqa_stage_picture(calls.number(), size); break; }
        case 19: {
            const int size = calls.lend();
            zqa_offer_prepared(calls.number(), size, calls.number(), calls.number(), calls.number());
            break;
        }
        case 20: parses(zqa_add_staged()); break;
        case 21: zqa_original_picture(calls.number()); zqa_bytes_size(); break;
        case 22: zqa_prepared_picture(calls.number()); zqa_bytes_size(); break;
        case 23: text(zqa_open_executable(calls.lend())); parses(zqa_open_notes()); break;
        case 24: text(zqa_open_bundle(calls.lend())); break;
        case 25: parses(zqa_parse_source(calls.lend())); break;
        case 26: text(zqa_open_parsed_source()); break;
        case 27: zqa_save_executable(calls.lend()); text(zqa_error()); break;
        case 28: zqa_bundle(); zqa_mark_saved(); break;
        case 29: parses(zqa_try(calls.number(), calls.lend())); break;
        case 30: parses(zqa_order_by_name(calls.lend())); break;
        case 31: zqa_typed_pass_mark(calls.lend()); break;
        case 32: parses(zqa_changed_elsewhere(calls.lend())); break;
        case 33: {
            const int size = calls.lend();
            zqa_offer_refused(size, calls.number(), calls.number(), calls.number(), calls.number(), calls.number(),
                              calls.number(), calls.number());
            break;
        }
        default: parses(zqa_review()); parses(zqa_comment_modes()); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zqa_new();
    Calls calls({data, size});
    while (!calls.done()) {
        step(calls);
        parses(zqa_state());
    }
    return 0;
}
