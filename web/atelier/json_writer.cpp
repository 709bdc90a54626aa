#include "web/atelier/json_writer.h"

#include "authoring/cp1252.h"

void JsonWriter::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_ += ',';
        first_.back() = false;
    }
}

void JsonWriter::open(char bracket) {
    separate();
    out_ += bracket;
    first_.push_back(true);
}

void JsonWriter::close(char bracket) {
    out_ += bracket;
    if (!first_.empty()) first_.pop_back();
}

void JsonWriter::key(std::string_view name) {
    value(name);
    out_ += ':';
    afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
    separate();
    constexpr char Digits[] = "0123456789abcdef";
    out_ += '"';
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // Bytes that are no UTF-8 (a name a script made up) go out as
            // U+FFFD, so that what is handed out is always JSON.
            const std::size_t start = at;
            char32_t character = 0;
            if (nextUtf8CodePoint(text, at, character)) {
                out_.append(text.substr(start, at - start));
            } else {
                out_ += "\xEF\xBF\xBD";
                ++at;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            out_ += '\\';
            out_ += c;
        } else if (byte < 0x20) {
            out_ += "\\u00";
            out_ += Digits[byte >> 4];
            out_ += Digits[byte & 15];
        } else {
            out_ += c;
        }
        ++at;
    }
    out_ += '"';
}

void JsonWriter::value(int number) {
    separate();
    out_ += std::to_string(number);
}

void JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
}

void JsonWriter::null() {
    separate();
    out_ += "null";
}
