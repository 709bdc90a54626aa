#pragma once
// A small JSON writer for the state the module hands the page: objects,
// arrays, strings (UTF-8, escaped as the page's JSON.parse reads them),
// numbers, booleans and null, the commas put where they belong.

#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name);
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(int number);
    void value(bool flag);
    void null();
    template <typename T>
    void field(std::string_view name, const T& item) {
        key(name);
        value(item);
    }
    std::string take() { return std::move(out_); }

private:
    void open(char bracket);
    void close(char bracket);
    void separate();
    std::string out_;
    std::vector<bool> first_;  // per open bracket: nothing written in it yet
    bool afterKey_ = false;
};
