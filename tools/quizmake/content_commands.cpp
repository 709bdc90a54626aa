#include "tools/quizmake/content_commands.h"

#include <optional>
#include <span>
#include <vector>

#include "authoring/cp1252.h"
#include "common/file_access.h"
#include "content/content_codec.h"
#include "content/quiz_loader.h"
#include "grading/verdict.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/output_file.h"
#include "tools/quizmake/platform.h"
#include "tools/quizmake/record_json.h"

namespace {

std::string describeEncodeFailure(const CodecOutput& out, std::size_t inputSize) {
    std::string name = codecResultName(out.result);
    if (out.result == CodecInputExhausted) return name + ": the file is empty";
    if (inputSize > MaxContentInput) return name + ": the file is over 65535 bytes";
    if (out.result == CodecWriteFailed) return name + ": the encoded text would be over 32768 bytes";
    return name;
}

}  // namespace

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
    printUtf8(Stream::Out, cp1252ToUtf8(verdictText(verdict)) + "\n");
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
    printUtf8(Stream::Out, recordJson(record));
    return 0;
}
