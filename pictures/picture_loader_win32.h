#pragma once
// A question's picture resource to a screen-compatible bitmap fitted to a frame.
// The caller owns and deletes the bitmap; none is null.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "common/geometry.h"

HBITMAP loadQuestionPicture(int resourceId, int frameWidth, int frameHeight);

// The same in two steps, so that the decoding may run on any thread and only
// the message of a failure waits for the window thread.
struct PictureSource {
    std::span<const std::uint8_t> bytes;  // a resource of the program: lives as long as it does
    bool png = false;                     // RT_RCDATA, decoded by ours; else IMG, by the system's loader
};
// The IMG resource with this id, else the RT_RCDATA one; no bytes when neither is there.
PictureSource questionPictureSource(int resourceId);

enum class PictureFailure { None, CopyFailed, PngUndecodable, PngNoBitmap };
struct FittedPicture {
    HBITMAP bitmap = nullptr;
    PictureFailure failure = PictureFailure::None;  // reported by reportPictureFailure
    DWORD copyError = 0;                            // GetLastError of a failed copy
};
// Decodes and fits, on whichever thread calls; nothing is shown.
FittedPicture fitPicture(PictureSource source, int frameWidth, int frameHeight);
// The message box a failure shows (none for a picture that is simply missing
// or that the system's loader refused); the picture itself.
HBITMAP reportPictureFailure(const FittedPicture& picture);

// Decodes one picture file in memory (JPEG and what else the system reads).
HBITMAP loadOlePicture(const void* bytes, std::size_t size);

// Takes ownership of `bitmap` and returns a new one fitted to the frame.
HBITMAP scaleToFrame(HBITMAP bitmap, int frameWidth, int frameHeight);

// The PNG path, for pictures stored as raw data (RT_RCDATA) under the same id:
// none, silently, when there is none or it is not a usable PNG; none after a
// message box when it cannot be decoded or made into a bitmap.
HBITMAP loadPngPicture(int resourceId, int frameWidth, int frameHeight);
// The bytes of this executable's RT_RCDATA resource; empty when there is none.
std::span<const std::uint8_t> pngResource(int resourceId);

// A PNG file's bytes as a DIB section, as the player makes it; none, and the
// stage that failed, otherwise.
enum class PngFailure { None, NotUsable, Undecodable, NoBitmap };
struct PngBitmap {
    HBITMAP bitmap = nullptr;
    PngFailure failure = PngFailure::None;
};
PngBitmap decodePngBitmap(std::span<const std::uint8_t> bytes);

// Width and height of a bitmap.
SIZE bitmapSize(HBITMAP bitmap);

// The size a loaded picture shows at; none when there is no picture.
std::optional<Size> shownSize(HBITMAP picture);
