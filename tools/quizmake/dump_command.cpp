#include "tools/quizmake/dump_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>

#include "content/quiz_loader.h"
#include "shell/file_access.h"
#include "tools/quizmake/build_command.h"
#include "tools/quizmake/cp1252.h"
#include "tools/quizmake/pe_resources.h"
#include "tools/quizmake/record_json.h"

namespace {

constexpr int ExitBadInput = 1;

int fail(const std::string& subject, const std::string& message) {
    std::fprintf(stderr, "quizmake: %s: %s\n", subject.c_str(), message.c_str());
    return ExitBadInput;
}

// Each question's picture as the player finds it: IMG first, then RT_RCDATA.
int writePictures(const std::vector<Resource>& resources, int questionCount, const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    const ResourceKey img = ResourceKey::fromName("IMG");
    const ResourceKey rcData = ResourceKey::fromId(ResourceTypeRcData);
    for (int i = 0; i < questionCount; ++i) {
        const auto id = static_cast<std::uint16_t>(FirstPictureResourceId + i);
        const Resource* picture = findResource(resources, img, ResourceKey::fromId(id));
        const char* extension = ".jpg";
        if (picture == nullptr) {
            picture = findResource(resources, rcData, ResourceKey::fromId(id));
            extension = ".png";
        }
        if (picture == nullptr) continue;
        const std::string path = (fs::path(folder) / (std::to_string(id) + extension)).string();
        if (!replaceFile(path, {reinterpret_cast<const char*>(picture->data.data()), picture->data.size()})) {
            return fail(path, "cannot write the file");
        }
    }
    return 0;
}

}  // namespace

int runDump(const std::string& executablePath, const std::string& pictureFolder) {
    const auto image = readWholeFile(executablePath);
    if (!image) return fail(executablePath, "cannot read the file");
    const PeResourcesResult read = readPeResources(*image);
    if (read.error != PeError::Ok) return fail(executablePath, peErrorMessage(read.error));
    const ResourceKey patch = ResourceKey::fromName("PATCH");
    const Resource* definition = findResource(read.resources, patch, ResourceKey::fromId(DefinitionResourceId));
    if (definition == nullptr || definition->data.empty()) {
        return fail(executablePath, "not a quiz executable: it holds no quiz definition (PATCH 104)");
    }
    const Resource* codes = findResource(read.resources, patch, ResourceKey::fromId(CodesResourceId));

    QuizRecord record;
    initialiseRecord(record);
    std::optional<std::span<const std::uint8_t>> codesBytes;
    if (codes != nullptr) codesBytes = std::span<const std::uint8_t>(codes->data);
    const LoadOutcome outcome = loadQuizContent(record, definition->data, codesBytes);
    for (const LoaderMessage& message : outcome.messages) {
        const char* which = message == CodesUndecodable ? "PATCH 105: " : "PATCH 104: ";
        fail(executablePath, which + cp1252ToUtf8(message.text));
    }
    if (!outcome.messages.empty()) return ExitBadInput;
    if (!pictureFolder.empty()) {
        if (const int status = writePictures(read.resources, record.questionCount, pictureFolder); status != 0) return status;
    }
    std::fputs(recordJson(record).c_str(), stdout);
    return 0;
}
