#pragma once
// The other decoders and inflaters the PNG benchmark measures ours against,
// each behind one call. Checksums are skipped wherever the library allows it,
// since ours checks none: libpng and libspng skip CRC-32 and Adler-32.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct libdeflate_decompressor;

enum class LibpngOutput : std::uint8_t {
    // The file's samples as libpng gives them with the least work: 16-bit
    // samples cut to their high byte, sub-byte indices left packed.
    Natural,
    // One byte per index and colour as B, G, R (, A): the information our
    // bitmap holds, for comparing sample by sample.
    Bitmap,
};

struct LibpngImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t rowBytes = 0;
    std::vector<std::array<std::uint8_t, 3>> palette;  // R, G, B
};

// Rows of rowBytes, one after the other, into `pixels` (grown if short). False
// when libpng refused the file.
bool decodeWithLibpng(std::span<const std::uint8_t> file, LibpngOutput output, std::vector<std::uint8_t>& pixels,
                      std::vector<std::uint8_t*>& rowPointers, LibpngImage& image);

// libspng with `format` an spng_format value; the bytes written, 0 on failure.
// `pixels` must be large enough.
std::size_t decodeWithSpng(std::span<const std::uint8_t> file, int format, std::span<std::uint8_t> pixels);

// stb_image's own choice of channels (palette expanded to RGB, 16 bits cut
// to 8); its buffer is allocated and freed on every call, as it must be. The
// bytes it made, 0 on failure; `copy` receives them when not null.
std::size_t decodeWithStb(std::span<const std::uint8_t> file, std::vector<std::uint8_t>* copy);

// zlib's uncompress (Adler-32 checked, as uncompress always does); true when
// `out` was filled exactly.
bool inflateWithZlib(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out);

class Libdeflate {
public:
    Libdeflate();
    ~Libdeflate();
    Libdeflate(const Libdeflate&) = delete;
    Libdeflate& operator=(const Libdeflate&) = delete;

    // libdeflate_zlib_decompress: Adler-32 checked.
    bool zlib(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out);
    // The deflate data alone (the 2-byte header and 4-byte trailer left
    // out), so no Adler-32: the same work ours does.
    bool raw(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out);

private:
    libdeflate_decompressor* decompressor_;
};
