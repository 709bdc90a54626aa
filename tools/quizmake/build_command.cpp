#include "tools/quizmake/build_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>
#include <span>

#include "content/content_codec.h"
#include "common/file_access.h"
#include "tools/quizmake/picture_check.h"
#include "tools/quizmake/quiz_source.h"

namespace {

constexpr int ExitBadInput = 1;

int fail(const std::string& subject, const std::string& message) {
    std::fprintf(stderr, "quizmake: %s: %s\n", subject.c_str(), message.c_str());
    return ExitBadInput;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The player looks for a JPEG under IMG and falls back on a PNG under RT_RCDATA.
std::optional<ResourceKey> pictureType(const std::vector<std::uint8_t>& bytes) {
    switch (pictureKind(bytes)) {
        case PictureKind::Jpeg: return ResourceKey::fromName("IMG");
        case PictureKind::Png: return ResourceKey::fromId(ResourceTypeRcData);
        case PictureKind::Unknown: break;
    }
    return std::nullopt;
}

Resource resourceOf(ResourceKey type, std::uint16_t id, std::span<const std::uint8_t> bytes) {
    Resource resource;
    resource.type = std::move(type);
    resource.name = ResourceKey::fromId(id);
    resource.language = QuizResourceLanguage;
    resource.data.assign(bytes.begin(), bytes.end());
    return resource;
}

std::filesystem::path defaultPlayer(const std::string& programPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    // argv[0] may be a bare name found on the PATH; the system knows better where we run from.
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) self = fs::absolute(programPath, error);
    return self.parent_path() / "zorbel.exe";
}

}  // namespace

QuizResources quizResources(const std::string& sourcePath) {
    QuizResources result;
    const auto failWith = [&](const std::string& subject, const std::string& error) {
        result.resources.clear();
        result.subject = subject;
        result.error = error;
        return result;
    };
    const auto text = readWholeFile(sourcePath);
    if (!text) return failWith(sourcePath, "cannot read the file");
    const ParsedSource parsed = parseQuizSource({reinterpret_cast<const char*>(text->data()), text->size()});
    if (!parsed.ok()) return failWith(sourcePath, parsed.error);
    const QuizSource& quiz = parsed.source;
    const ResourceKey patch = ResourceKey::fromName("PATCH");
    for (const std::string& warning : sourceWarnings(quiz)) result.warnings.push_back({sourcePath, warning});

    const CodecOutput definition = encodeContent(bytesOf(definitionText(quiz)));
    if (definition.result != CodecOk) return failWith(sourcePath, std::string("definition: ") + codecResultName(definition.result));
    result.resources.push_back(resourceOf(patch, DefinitionResourceId, definition.bytes()));
    if (quiz.codes) {
        const CodecOutput codes = encodeContent(bytesOf(codesText(quiz)));
        if (codes.result != CodecOk) return failWith(sourcePath, std::string("codes: ") + codecResultName(codes.result));
        result.resources.push_back(resourceOf(patch, CodesResourceId, codes.bytes()));
    }

    const std::filesystem::path base = std::filesystem::path(sourcePath).parent_path();
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        if (quiz.questions[i].picture.empty()) continue;
        const std::string question = "question " + std::to_string(i + 1);
        const std::filesystem::path picture = base / quiz.questions[i].picture;
        const auto bytes = readWholeFile(picture.string());
        if (!bytes) return failWith(picture.string(), question + ": cannot read the picture");
        auto type = pictureType(*bytes);
        if (!type) return failWith(picture.string(), question + ": not a JPEG or PNG picture");
        if (const std::string warning = jpegWarning(*bytes); pictureKind(*bytes) == PictureKind::Jpeg && !warning.empty()) {
            result.warnings.push_back({picture.string(), question + ": " + warning});
        }
        const auto id = static_cast<std::uint16_t>(FirstPictureResourceId + i);
        result.resources.push_back(resourceOf(std::move(*type), id, *bytes));
    }
    return result;
}

int runBuild(const std::string& sourcePath, const std::string& outputPath, const std::string& playerPath,
             const std::string& programPath) {
    const std::string player = playerPath.empty() ? defaultPlayer(programPath).string() : playerPath;
    const QuizResources quiz = quizResources(sourcePath);
    if (!quiz.ok()) return fail(quiz.subject, quiz.error);
    const auto image = readWholeFile(player);
    if (!image) return fail(player, "cannot read the player (give it with --player)");
    const PeWriteResult built = writePeResources(*image, quiz.resources);
    if (built.error != PeError::Ok) return fail(player, peErrorMessage(built.error));
    if (!replaceFile(outputPath, {reinterpret_cast<const char*>(built.image.data()), built.image.size()})) {
        return fail(outputPath, "cannot write the file");
    }
    // Said once the quiz is made: a failed build shows only what stopped it.
    for (const QuizWarning& warning : quiz.warnings) {
        std::fprintf(stderr, "quizmake: %s: warning: %s\n", warning.subject.c_str(), warning.message.c_str());
    }
    return 0;
}
