#pragma once
// What an editor knew of a quiz file when it opened or last saved it, so that
// a save does not silently write over what another Atelier, a copy or any
// other program wrote there since; and the words both editors say about it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t digest = 0;  // of the bytes: a time stamp can stay the same while the bytes change
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp stampOf(std::span<const std::uint8_t> bytes);

// A stamp kept in a recovery copy, and read back; none from bytes of another size.
std::vector<std::uint8_t> stampBytes(const FileStamp& stamp);
std::optional<FileStamp> stampFromBytes(std::span<const std::uint8_t> bytes);

// The file a save is about to replace changed since the document came from it.
std::string changedElsewhereMessage(std::string_view fileName);
std::string changedElsewhereAdvice();
// Another editor has the file open.
std::string openElsewhereMessage(std::string_view fileName);
// A recovery copy whose file changed since the copy's document came from it.
std::string copyOutdatedMessage(std::string_view fileName);
