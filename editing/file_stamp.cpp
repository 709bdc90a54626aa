#include "editing/file_stamp.h"

namespace {

// FNV-1a: enough to tell a file another program rewrote, and cheap on a quiz's few megabytes.
std::uint64_t digestOf(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ULL;
    return hash;
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t readLittleEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | bytes[static_cast<std::size_t>(i)];
    return value;
}

std::string quoted(std::string_view fileName) { return "« " + std::string(fileName) + " »"; }

}  // namespace

FileStamp stampOf(std::span<const std::uint8_t> bytes) { return {bytes.size(), digestOf(bytes)}; }

std::vector<std::uint8_t> stampBytes(const FileStamp& stamp) {
    std::vector<std::uint8_t> bytes;
    putLittleEndian(bytes, stamp.size);
    putLittleEndian(bytes, stamp.digest);
    return bytes;
}

std::optional<FileStamp> stampFromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != 16) return std::nullopt;
    return FileStamp{readLittleEndian(bytes.first(8)), readLittleEndian(bytes.subspan(8))};
}

std::string changedElsewhereMessage(std::string_view fileName) {
    return quoted(fileName) + " a été modifié ailleurs depuis son ouverture";
}

std::string changedElsewhereAdvice() {
    return "Un autre Atelier, une copie ou un autre programme l'a enregistré depuis. Le remplacer effacerait ces "
           "changements ; « Enregistrer sous… » garde les deux versions.";
}

std::string openElsewhereMessage(std::string_view fileName) {
    return quoted(fileName) +
           " est déjà ouvert dans un autre Atelier. Si vous l'enregistrez tous les deux, l'Atelier vous demandera "
           "avant de remplacer les changements de l'autre.";
}

std::string copyOutdatedMessage(std::string_view fileName) {
    return quoted(fileName) +
           " a été modifié depuis (par un autre Atelier ou un autre programme). Si vous récupérez ce quiz, l'Atelier "
           "vous demandera avant de remplacer ce fichier.";
}
