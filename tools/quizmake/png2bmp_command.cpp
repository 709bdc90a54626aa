#include "tools/quizmake/png2bmp_command.h"

#include <vector>

#include "common/file_access.h"
#include "pictures/png/png_decoder.h"
#include "tools/quizmake/bmp_file.h"
#include "tools/quizmake/diagnostics.h"
#include "tools/quizmake/output_file.h"

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
