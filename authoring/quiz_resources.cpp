#include "authoring/quiz_resources.h"

#include <algorithm>
#include <optional>
#include <span>

#include "authoring/picture_resources.h"
#include "common/file_access.h"
#include "common/utf8_path.h"
#include "content/content_codec.h"
#include "resources/contract_ids.h"

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

QuizResources failure(const std::string& subject, const std::string& error) {
    QuizResources result;
    result.subject = subject;
    result.error = error;
    return result;
}

Resource resourceOf(ResourceKey type, ResourceKey name, std::span<const std::uint8_t> bytes) {
    Resource resource;
    resource.type = std::move(type);
    resource.name = std::move(name);
    resource.language = QuizResourceLanguage;
    resource.data.assign(bytes.begin(), bytes.end());
    return resource;
}

// A text resource encoded as the player decodes it; `what` names it in the error.
bool addEncodedText(QuizResources& result, std::uint16_t id, std::string_view text, const char* what,
                    const std::string& sourceName) {
    const CodecOutput encoded = encodeContent(bytesOf(text));
    if (encoded.result != CodecOk) {
        result = failure(sourceName, std::string(what) + ": " + codecResultName(encoded.result));
        return false;
    }
    result.resources.push_back(
        resourceOf(ResourceKey::fromName(QuizTextResourceType), ResourceKey::fromId(id), encoded.bytes()));
    return true;
}

Rgb backgroundOf(const QuizSource& source) {
    const auto sample = [](int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); };
    return {sample(source.backgroundRed), sample(source.backgroundGreen), sample(source.backgroundBlue)};
}

// Every question's prepared picture, in question order; the first that
// failed stops it all.
bool addPreparedPictures(QuizResources& result, const QuizSource& source,
                         std::span<const std::optional<PreparedPicture>> prepared) {
    for (std::size_t i = 0; i < prepared.size() && i < source.questions.size(); ++i) {
        if (!prepared[i]) continue;
        const std::string question = "question " + std::to_string(i + 1);
        if (!prepared[i]->ok()) {
            result = failure(prepared[i]->subject, question + ": " + prepared[i]->error);
            return false;
        }
        const auto type = pictureResourceType(prepared[i]->kind);
        result.resources.push_back(resourceOf(*type, pictureResourceName(i), prepared[i]->bytes));
    }
    return true;
}

}  // namespace

QuizResources quizResourcesOfPrepared(const QuizSource& source, const std::string& sourceName,
                                      std::span<const std::optional<PreparedPicture>> pictures) {
    QuizResources result;
    for (const std::string& warning : sourceWarnings(source)) result.warnings.push_back({sourceName, warning});
    if (!addEncodedText(result, DefinitionResourceId, definitionText(source), "definition", sourceName)) return result;
    if (source.codes && !addEncodedText(result, CodesResourceId, codesText(source), "codes", sourceName)) return result;
    addPreparedPictures(result, source, pictures);
    return result;
}

QuizResources quizResources(const QuizSource& source, const std::string& sourceName,
                            std::span<const std::optional<PictureInput>> pictures, const PictureProgress& progress) {
    const auto given = pictures.first(std::min(pictures.size(), source.questions.size()));
    return quizResourcesOfPrepared(source, sourceName, preparePictures(given, backgroundOf(source), progress));
}

QuizResources quizResources(const QuizSource& source, const std::string& sourceName,
                            const std::filesystem::path& pictureFolder, const PictureProgress& progress) {
    std::vector<std::optional<PictureInput>> pictures(source.questions.size());
    for (std::size_t i = 0; i < source.questions.size(); ++i) {
        if (source.questions[i].picture.empty()) continue;
        std::optional<std::vector<std::uint8_t>> bytes;
        std::string path;
        for (const std::string& candidate : pictureCandidates(source.questions[i].picture)) {
            path = utf8Of(pictureFolder / pathFromUtf8(candidate));
            if ((bytes = readWholeFile(path))) break;
        }
        if (!bytes) {
            const std::string written = utf8Of(pictureFolder / pathFromUtf8(source.questions[i].picture));
            return failure(written, "question " + std::to_string(i + 1) + ": cannot read the picture");
        }
        pictures[i] = PictureInput{path, std::move(*bytes)};
    }
    return quizResources(source, sourceName, pictures, progress);
}

QuizResources quizResources(std::string_view sourceText, const std::string& sourceName,
                            const std::filesystem::path& pictureFolder, const PictureProgress& progress) {
    const ParsedSource parsed = parseQuizSource(sourceText);
    if (!parsed.ok()) return failure(sourceName, parsed.error);
    return quizResources(parsed.source, sourceName, pictureFolder, progress);
}

QuizResources quizResourcesOfFile(const std::string& sourcePath, const PictureProgress& progress) {
    const auto text = readWholeFile(sourcePath);
    if (!text) return failure(sourcePath, "cannot read the file");
    const std::string_view sourceText(reinterpret_cast<const char*>(text->data()), text->size());
    return quizResources(sourceText, sourcePath, pathFromUtf8(sourcePath).parent_path(), progress);
}
