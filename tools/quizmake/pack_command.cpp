#include "tools/quizmake/pack_command.h"

#include <filesystem>

#include "authoring/picture_resources.h"
#include "authoring/quiz_resources.h"
#include "common/file_access.h"
#include "common/utf8_path.h"
#include "resources/contract_ids.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/output_file.h"
#include "tools/quizmake/progress_line.h"

namespace {

namespace fs = std::filesystem;

// An absolute path in quotes, as the resource compiler reads it.
std::string rcPath(const fs::path& path) {
    std::string quoted = "\"";
    const std::u8string absolute = fs::absolute(path).generic_u8string();
    for (const char c : std::string(absolute.begin(), absolute.end())) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// A resource type as a resource script writes it.
std::string scriptTypeName(const ResourceKey& type) {
    if (type.isName) {
        std::string ascii;
        for (const char16_t c : type.name) ascii += static_cast<char>(c);
        return ascii;
    }
    return type.id == ResourceTypeRcData ? "RCDATA" : std::to_string(type.id);
}

// The encoded texts under fixed names, the pictures as dump names them.
std::string packedFileName(const Resource& resource) {
    if (resource.type == ResourceKey::fromName(QuizTextResourceType)) {
        return resource.name.id == DefinitionResourceId ? "definition.bin" : "codes.bin";
    }
    return pictureFileName(resource);
}

}  // namespace

int runPack(const std::string& sourcePath, const std::string& folder) {
    ProgressLine progress{"pictures prepared"};
    const QuizResources quiz = quizResourcesOfFile(sourcePath, progressTo(progress));
    endProgressLine(progress);
    if (!quiz.ok()) return fail(quiz.subject, quiz.error);
    const fs::path out = pathFromUtf8(folder);
    std::error_code error;
    fs::create_directories(out, error);
    std::string script = "// Written by quizmake pack from " + sourcePath + "\n";
    for (const Resource& resource : quiz.resources) {
        const fs::path file = out / packedFileName(resource);
        if (!writeOutput(utf8Of(file), resource.data)) return fail(folder, "cannot write");
        script += std::to_string(resource.name.id) + " " + scriptTypeName(resource.type) + " " + rcPath(file) + "\n";
    }
    if (!replaceFile(utf8Of(out / "quiz.rc"), script)) return fail(folder, "cannot write quiz.rc");
    // Said once the folder is written, as build does.
    for (const QuizWarning& warning : quiz.warnings) warn(warning.subject, warning.message);
    return 0;
}
