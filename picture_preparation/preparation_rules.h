#pragma once
// What a picture becomes, decided apart from the codecs that read and write
// its pixels: what its bytes tell before it is decoded, what is decided once
// its pixels are known, and which encoding stores it. preparePicture composes
// these rules with the system's codecs; the Atelier's page with the browser's.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture_preparation/image.h"
#include "picture_preparation/picture_check.h"
#include "picture_preparation/picture_problem.h"

// The player's single-question frame.
inline constexpr ImageSize PreparedPictureLimit{640, 480};
inline constexpr std::uint64_t MaxPicturePixels = 100'000'000;  // decoded whole
inline constexpr std::uint64_t MaxPhotoPixels = 200'000'000;    // a JPEG, decoded already reduced
inline constexpr int PreparedJpegQuality = 90;
// A lossless source is stored as a JPEG only when that is this many times smaller than the PNG.
inline constexpr std::size_t JpegPreferredAtRatio = 3;

// The size a picture shown at `size` is stored at: within the limit, its
// proportions kept (rounded), never larger.
ImageSize preparedSize(ImageSize size);

// --- Before decoding -------------------------------------------------------------

struct PictureFacts {
    PictureFormat format = PictureFormat::Unknown;
    PictureReason problem;              // why it cannot be used; None when it may be decoded
    std::optional<ImageSize> declared;  // its header's size (JPEG, PNG, GIF, BMP)
    int ownOrientation = 1;             // a JPEG's EXIF orientation; other formats' decoders apply theirs
    bool cutShort = false;              // a JPEG whose data stops before its end marker
};

// Whether the bytes are no picture at all: EmptyFile, NotAPicture, or None
// when they begin as one of the formats.
PictureProblem fileProblem(std::span<const std::uint8_t> bytes);

// What the header says, without the checks of the whole file (problem and
// cutShort left unset): for a file already examined.
PictureFacts headerFacts(std::span<const std::uint8_t> bytes);

// The header's facts and the checks of the whole file.
PictureFacts examinePicture(std::span<const std::uint8_t> bytes);

// The most pixels a decoder may give: a photo is decoded already reduced.
std::uint64_t pixelLimit(PictureFormat format);

// The smallest size a JPEG may be decoded at and still cover what it is
// stored at; {0, 0} for every pixel (the other formats).
ImageSize decodedAtLeast(const PictureFacts& facts, int quarterTurns);

// Why a picture its decoder refused (`problem`, in the decoder's `words`)
// cannot be used: a JPEG whose data stops before its end marker is cut short
// whatever its decoder makes of it.
PictureReason decoderRefusal(const PictureFacts& facts, PictureProblem problem, MissingCodec missing,
                             std::string words);

// Decoders that show a JPEG cut short (the browsers' do) let through what
// ours refuse (they notice by themselves): the reason for one, None otherwise.
PictureReason cutShortProblem(const PictureFacts& facts);

// Decoders that show what they could read of a PNG whose image data is
// damaged or short (Firefox's do) let through what ours refuse. The parts of
// the file that, joined, hold its zlib stream, and the bytes that must come
// out of it; none for the other formats.
struct FilePart {
    std::size_t offset = 0;
    std::size_t size = 0;
};
struct ImageDataCheck {
    std::vector<FilePart> parts;
    std::uint64_t inflatesTo = 0;
};
std::optional<ImageDataCheck> imageDataCheck(const PictureFacts& facts, std::span<const std::uint8_t> bytes);
// The reason for a picture whose zlib stream gave only `inflated` bytes (None when whole).
PictureReason imageDataProblem(const PictureFacts& facts, const ImageDataCheck& check, std::uint64_t inflated);

// --- Once the pixels are known ---------------------------------------------------

// The picture's own size: a JPEG's header's, since it may come reduced.
ImageSize fullSize(const PictureFacts& facts, ImageSize decoded);

// The turn the decoded pixels need: the JPEG's own or what its decoder left
// to us (`leftByDecoder`), then the author's quarter turns clockwise.
int orientationToApply(const PictureFacts& facts, int leftByDecoder, int quarterTurns);

enum class Keeping { No, Yes, IfOpaque };

// Whether the file is stored byte for byte: a baseline JPEG with nothing to
// turn, or an opaque PNG that the player's decoder reads, within the frame.
// `orientation` is the one the pixels need.
Keeping keepingOf(const PictureFacts& facts, std::span<const std::uint8_t> bytes, ImageSize full, int orientation);

// The size the pixels are scaled to before they are turned by `orientation`:
// once turned, they fit the frame.
ImageSize storedSize(ImageSize full, int orientation);

// Pixels with alpha are flattened onto the quiz's background.
bool flattens(std::uint32_t channels);

// --- Stored -------------------------------------------------------------------------

// A photo (a JPEG or HEIC source) is stored as a JPEG; anything else as the
// smaller enough of a JPEG and a PNG.
bool storedAsPhoto(PictureFormat format);

// The encoding kept, given the sizes of the encodings made (0: failed or not
// made); Unknown when none is usable.
PictureKind chosenEncoding(PictureFormat format, std::size_t jpegSize, std::size_t pngSize);
