// quizmake: the quiz author's command-line tool. Texts arrive and leave as
// UTF-8 and are code page 1252 inside, as the player holds them.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "content/content_codec.h"
#include "content/quiz_loader.h"
#include "grading/verdict.h"
#include "pictures/png/png_decoder.h"
#include "common/file_access.h"
#include "tools/quizmake/bmp_file.h"
#include "tools/quizmake/build_command.h"
#include "tools/quizmake/cp1252.h"
#include "tools/quizmake/check_command.h"
#include "tools/quizmake/dump_command.h"
#include "tools/quizmake/picture_check.h"
#include "tools/quizmake/quiz_source.h"
#include "tools/quizmake/record_json.h"

namespace {

constexpr int ExitBadInput = 1;
constexpr int ExitBadArguments = 2;

int fail(const std::string& subject, const std::string& message, int exitCode = ExitBadInput) {
    std::fprintf(stderr, "quizmake: %s: %s\n", subject.c_str(), message.c_str());
    return exitCode;
}

void warn(const std::string& subject, const std::string& message) {
    std::fprintf(stderr, "quizmake: %s: warning: %s\n", subject.c_str(), message.c_str());
}

bool writeOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
    return replaceFile(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

std::string describeEncodeFailure(const CodecOutput& out, std::size_t inputSize) {
    std::string name = codecResultName(out.result);
    if (out.result == CodecInputExhausted) return name + ": the file is empty";
    if (inputSize > MaxContentInput) return name + ": the file is over 65535 bytes";
    if (out.result == CodecWriteFailed) return name + ": the encoded text would be over 32768 bytes";
    return name;
}

int runEncode(const std::string& in, const std::string& out) {
    const auto text = readWholeFile(in);
    if (!text) return fail(in, "cannot read the file");
    const CodecOutput encoded = encodeContent(*text);
    if (encoded.result != CodecOk) return fail(in, describeEncodeFailure(encoded, text->size()));
    if (!writeOutput(out, encoded.bytes())) return fail(out, "cannot write the file");
    return 0;
}

int runDecode(const std::string& in, const std::string& out) {
    const auto stream = readWholeFile(in);
    if (!stream) return fail(in, "cannot read the file");
    const CodecOutput decoded = decodeContent(*stream);
    if (decoded.result != CodecOk) return fail(in, codecResultName(decoded.result));
    if (!writeOutput(out, decoded.bytes())) return fail(out, "cannot write the file");
    return 0;
}

int runGrade(bool overview, const std::string& expected, const std::string& typed) {
    const Cp1252Text expectedText = utf8ToCp1252(expected);
    if (!expectedText.ok()) return fail("EXPECTED", expectedText.error, ExitBadArguments);
    const Cp1252Text typedText = utf8ToCp1252(typed);
    if (!typedText.ok()) return fail("TYPED", typedText.error, ExitBadArguments);
    // Like the player, only the first 259 characters of each text count.
    const Verdict verdict = gradeAnswer(Text(expectedText.bytes).view(), Text(typedText.bytes).view(), overview);
    std::printf("%s\n", cp1252ToUtf8(verdictText(verdict)).c_str());
    return 0;
}

int runShow(const std::string& definitionPath, const std::string& codesPath) {
    const auto definition = readWholeFile(definitionPath);
    if (!definition) return fail(definitionPath, "cannot read the file");
    std::optional<std::vector<std::uint8_t>> codes;
    if (!codesPath.empty()) {
        codes = readWholeFile(codesPath);
        if (!codes) return fail(codesPath, "cannot read the file");
    }

    QuizRecord record;
    initialiseRecord(record);
    std::optional<std::span<const std::uint8_t>> codesBytes;
    if (codes) codesBytes = std::span<const std::uint8_t>(*codes);
    const LoadOutcome outcome = loadQuizContent(record, *definition, codesBytes);
    for (const LoaderMessage& message : outcome.messages) {
        const bool aboutCodes = message == CodesUndecodable;
        fail(aboutCodes ? codesPath : definitionPath, cp1252ToUtf8(message.text));
    }
    if (!outcome.messages.empty()) return ExitBadInput;
    std::fputs(recordJson(record).c_str(), stdout);
    return 0;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The resource type of a picture file, from its first bytes.
std::optional<std::string> pictureResourceType(const std::vector<std::uint8_t>& bytes) {
    switch (pictureKind(bytes)) {
        case PictureKind::Jpeg: return "IMG";
        case PictureKind::Png: return "RCDATA";
        case PictureKind::Unknown: break;
    }
    return std::nullopt;
}

std::string rcPath(const std::filesystem::path& path) {
    std::string quoted = "\"";
    for (const char c : std::filesystem::absolute(path).generic_string()) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// Writes the encoded definition and code lines of a quiz source and a
// resource script that puts them, and the pictures, into a quiz executable.
int runPack(const std::string& sourcePath, const std::string& folder) {
    const auto json = readWholeFile(sourcePath);
    if (!json) return fail(sourcePath, "cannot read the file");
    const ParsedSource parsed = parseQuizSource({reinterpret_cast<const char*>(json->data()), json->size()});
    if (!parsed.ok()) return fail(sourcePath, parsed.error);
    const QuizSource& quiz = parsed.source;
    for (const std::string& warning : sourceWarnings(quiz)) warn(sourcePath, warning);

    namespace fs = std::filesystem;
    const fs::path out(folder);
    std::error_code error;
    fs::create_directories(out, error);
    std::string script = "// Written by quizmake pack from " + sourcePath + "\n";

    const CodecOutput definition = encodeContent(bytesOf(definitionText(quiz)));
    if (definition.result != CodecOk) return fail(sourcePath, std::string("definition: ") + codecResultName(definition.result));
    if (!writeOutput((out / "definition.bin").string(), definition.bytes())) return fail(folder, "cannot write");
    script += "104 PATCH " + rcPath(out / "definition.bin") + "\n";
    if (quiz.codes) {
        const CodecOutput codes = encodeContent(bytesOf(codesText(quiz)));
        if (codes.result != CodecOk) return fail(sourcePath, std::string("codes: ") + codecResultName(codes.result));
        if (!writeOutput((out / "codes.bin").string(), codes.bytes())) return fail(folder, "cannot write");
        script += "105 PATCH " + rcPath(out / "codes.bin") + "\n";
    }

    const fs::path base = fs::path(sourcePath).parent_path();
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        if (quiz.questions[i].picture.empty()) continue;
        const fs::path picture = base / quiz.questions[i].picture;
        const auto bytes = readWholeFile(picture.string());
        if (!bytes) return fail(picture.string(), "question " + std::to_string(i + 1) + ": cannot read the picture");
        const auto type = pictureResourceType(*bytes);
        if (!type) return fail(picture.string(), "question " + std::to_string(i + 1) + ": not a JPEG or PNG picture");
        if (pictureKind(*bytes) == PictureKind::Jpeg) {
            if (const std::string warning = jpegWarning(*bytes); !warning.empty()) {
                warn(picture.string(), "question " + std::to_string(i + 1) + ": " + warning);
            }
        }
        script += std::to_string(401 + i) + " " + *type + " " + rcPath(picture) + "\n";
    }
    if (!replaceFile((out / "quiz.rc").string(), script)) return fail(folder, "cannot write quiz.rc");
    return 0;
}

}  // namespace

// The bitmap the player makes of a PNG picture, before it scales it.
int runPng2Bmp(const std::string& in, const std::string& out) {
    const auto bytes = readWholeFile(in);
    if (!bytes) return fail(in, "cannot read the file");
    PngDecoder decoder;
    if (const PngResult r = openPng(decoder, *bytes); r != PngResult::Ok) {
        return fail(in, std::string("the player would show no picture: ") + pngResultName(r));
    }
    if (const PngResult r = decodePng(decoder); r != PngResult::Ok) {
        releasePng(decoder);
        return fail(in, std::string("the player would show \"Error: couldn't decode PNG resource\": ") + pngResultName(r));
    }
    const PngBitmapLayout layout = pngBitmapLayout(decoder);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(layout.stride) * layout.height);
    const PngResult written = writePngBitmap(decoder, rows);
    releasePng(decoder);
    if (written != PngResult::Ok) {
        return fail(in, std::string("the player would show \"Error: couldn't create bitmap\": ") + pngResultName(written));
    }
    if (!writeOutput(out, bmpFileBytes(layout, rows))) return fail(out, "cannot write the file");
    return 0;
}

int main(int argc, char** argv) {
    CLI::App app{"quizmake: encodes, decodes, grades, shows and packs quiz content"};
    app.require_subcommand(1);

    std::string in;
    std::string out;
    auto* encode = app.add_subcommand("encode", "Encode the bytes of IN into OUT in the content codec");
    encode->add_option("IN", in)->required();
    encode->add_option("OUT", out)->required();

    auto* decode = app.add_subcommand("decode", "Decode the content stream IN into OUT");
    decode->add_option("IN", in)->required();
    decode->add_option("OUT", out)->required();

    bool overview = false;
    std::string expected;
    std::string typed;
    auto* grade = app.add_subcommand("grade", "Print the verdict on TYPED for the expected answer EXPECTED");
    grade->add_flag("--overview", overview, "Grade as the overview does (short-answer rule)");
    grade->add_option("EXPECTED", expected)->required();
    grade->add_option("TYPED", typed)->required();

    std::string definitionPath;
    std::string codesPath;
    auto* show = app.add_subcommand("show", "Decode and parse a quiz definition (and its code lines) as JSON");
    show->add_option("DEFINITION", definitionPath, "Encoded definition; an empty file gives the built-in defaults")
        ->required();
    show->add_option("CODES", codesPath, "Encoded code lines");

    std::string sourcePath;
    std::string packFolder;
    auto* pack = app.add_subcommand("pack", "Encode a quiz source (TOML) into FOLDER with a resource script for the player");
    pack->add_option("SOURCE", sourcePath)->required();
    pack->add_option("FOLDER", packFolder)->required();

    auto* png2bmp = app.add_subcommand("png2bmp", "Write the bitmap the player makes of the PNG picture IN as the BMP file OUT");
    png2bmp->add_option("IN", in)->required();
    png2bmp->add_option("OUT", out)->required();

    std::string buildOutput;
    std::string playerPath;
    auto* build = app.add_subcommand("build", "Write a quiz executable: the player with the quiz of SOURCE in its resources");
    build->add_option("SOURCE", sourcePath)->required();
    build->add_option("-o,--output", buildOutput, "The quiz executable to write")->required();
    build->add_option("--player", playerPath, "The player to copy (default: zorbel.exe beside quizmake)");

    std::string dumpFolder;
    auto* check = app.add_subcommand("check", "Print how the player grades each answer of QUIZ and a few near misses");
    check->add_option("QUIZ", in)->required();

    auto* dump = app.add_subcommand("dump", "Print the quiz of a quiz executable as a quiz source and write its pictures to DIR");
    dump->add_option("QUIZ", in)->required();
    dump->add_option("-o,--output", dumpFolder, "DIR: the folder for the pictures (401.jpg, 402.png...)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : ExitBadArguments;
    }

    if (*encode) return runEncode(in, out);
    if (*decode) return runDecode(in, out);
    if (*grade) return runGrade(overview, expected, typed);
    if (*pack) return runPack(sourcePath, packFolder);
    if (*png2bmp) return runPng2Bmp(in, out);
    if (*build) return runBuild(sourcePath, buildOutput, playerPath, argv[0]);
    if (*dump) return runDump(in, dumpFolder);
    if (*check) return runCheck(in);
    return runShow(definitionPath, codesPath);
}
