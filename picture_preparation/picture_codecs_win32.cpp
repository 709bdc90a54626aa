// The codecs on Windows: its imaging component (WIC), which Windows Update
// keeps patched and which reads whatever the system has codecs for (HEIC and
// WebP come from the Microsoft Store). The samples come out as
// picture_codecs_libs.cpp gives them on Linux: grey, RGB or RGBA, 8 bits, a
// CMYK JPEG as RGB, a GIF's first frame on its logical screen.
//
// Every call may come from any thread: the picture batch's workers (no COM
// of their own) or the Atelier's STA window thread, so each public function
// joins COM for its own duration.

#include "picture_preparation/picture_codecs.h"

#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <propidl.h>
#include <wincodec.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "picture_preparation/image_pixels.h"
#include "picture_preparation/metadata_orientation.h"
#include "picture_preparation/picture_size.h"

// MinGW's wincodec.h lacks the interface through which a JPEG decoder gives
// its picture already reduced; this is the Windows SDK's layout of it.
#ifndef __IWICBitmapSourceTransform_INTERFACE_DEFINED__
#define __IWICBitmapSourceTransform_INTERFACE_DEFINED__
// A COM interface is released through IUnknown, never deleted: no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IWICBitmapSourceTransform : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                                 UINT stride, UINT bufferSize, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
#pragma GCC diagnostic pop
#endif

namespace {

constexpr IID SourceTransformId = {0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

const char* const NoMemory = "not enough memory";

// --- COM ---------------------------------------------------------------------------

// One reference to a COM object, released when it goes.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For a function that hands out a new reference.
    T** out() {
        reset();
        return &object_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

private:
    void reset() {
        if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
    }
    T* object_ = nullptr;
};

// COM for the length of one call. A thread already in a single-threaded
// apartment (the Atelier's window thread) gets RPC_E_CHANGED_MODE: COM is
// usable there as it is, and that thread's CoUninitialize is not ours to call.
class ComUse {
public:
    ComUse() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComUse() {
        if (result_ == S_OK || result_ == S_FALSE) CoUninitialize();
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;
    [[nodiscard]] bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

// WIC's first factory, which every Windows since XP SP3 has (the SDK's plain
// CLSID_WICImagingFactory means the second one when built for Windows 8 and later).
ComPtr<IWICImagingFactory> imagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.outVoid()))) {
        return {};
    }
    return factory;
}

// --- messages ----------------------------------------------------------------------

DecodedPicture failure(PictureProblem problem, std::string why, MissingCodec missing = MissingCodec::None) {
    DecodedPicture result;
    result.problem = problem;
    result.missing = missing;
    result.error = std::move(why);
    return result;
}

DecodedPicture outOfMemory() { return failure(PictureProblem::OutOfMemory, NoMemory); }
DecodedPicture tooManyPixels() { return failure(PictureProblem::TooManyPixels, "too many pixels"); }
DecodedPicture noPixels() { return failure(PictureProblem::NoPixels, "a side of 0 pixels"); }

// Codes WIC gives, as constants a switch takes (MinGW names the first only
// through an inline function and not the second at all).
constexpr HRESULT EndOfData = static_cast<HRESULT>(0x80070026u);     // HRESULT_FROM_WIN32(ERROR_HANDLE_EOF)
constexpr HRESULT SizeOverflow = static_cast<HRESULT>(0x80070216u);  // WINCODEC_ERR_VALUEOVERFLOW

struct WicProblem {
    PictureProblem problem;
    const char* words;
};

WicProblem problemOf(HRESULT result) {
    switch (result) {
        case E_OUTOFMEMORY: return {PictureProblem::OutOfMemory, NoMemory};
        case WINCODEC_ERR_BADHEADER: return {PictureProblem::Damaged, "its header is damaged"};
        case WINCODEC_ERR_BADIMAGE:
        case WINCODEC_ERR_BADSTREAMDATA: return {PictureProblem::Damaged, "its picture data is damaged"};
        case WINCODEC_ERR_STREAMREAD:
        case WINCODEC_ERR_STREAMNOTAVAILABLE:
        case EndOfData: return {PictureProblem::CutShort, "the data stops short"};
        case WINCODEC_ERR_UNKNOWNIMAGEFORMAT: return {PictureProblem::Damaged, "not a picture of its format"};
        case WINCODEC_ERR_FRAMEMISSING: return {PictureProblem::Damaged, "no picture in the file"};
        case WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT:
        case WINCODEC_ERR_UNSUPPORTEDOPERATION:
            return {PictureProblem::FormatNotReadHere, "pixels of a kind Windows cannot convert"};
        case WINCODEC_ERR_IMAGESIZEOUTOFRANGE:
        case SizeOverflow: return {PictureProblem::TooManyPixels, "too many pixels"};
        case WINCODEC_ERR_COMPONENTNOTFOUND:
            return {PictureProblem::FormatNotReadHere, "Windows has no codec for it here"};
        case E_FAIL: return {PictureProblem::Damaged, "the decoder refused its data (damaged or cut short)"};
        default: return {PictureProblem::NotDecodedHere, "Windows could not decode it"};
    }
}

// What went wrong, and WIC's own code for whoever looks it up.
DecodedPicture wicFailure(HRESULT result) {
    if (result == E_OUTOFMEMORY) return outOfMemory();
    const WicProblem problem = problemOf(result);
    char code[48];
    std::snprintf(code, sizeof code, " (WIC error 0x%08lX)", static_cast<unsigned long>(result));
    return failure(problem.problem, problem.words + std::string(code));
}

// What the author can install when Windows has no decoder for the format.
DecodedPicture missingDecoder(PictureFormat format) {
    switch (format) {
        case PictureFormat::Heif:
            return failure(PictureProblem::FormatNotReadHere, "Windows has no HEIF decoder here",
                           MissingCodec::HeifImageExtensions);
        case PictureFormat::Webp:
            return failure(PictureProblem::FormatNotReadHere, "Windows has no WebP decoder here",
                           MissingCodec::WebpImageExtensions);
        default:
            return failure(PictureProblem::FormatNotReadHere,
                           std::string("Windows has no ") + pictureFormatName(format) + " decoder here");
    }
}

// A HEIC photo is HEVC inside: the HEIF extension decodes it only with the
// HEVC codec beside it.
DecodedPicture pixelFailure(PictureFormat format, HRESULT result) {
    if (format == PictureFormat::Heif && result == WINCODEC_ERR_COMPONENTNOTFOUND) {
        return failure(PictureProblem::FormatNotReadHere, "Windows cannot decode HEVC here",
                       MissingCodec::HevcVideoExtensions);
    }
    return wicFailure(result);
}

bool tooMany(std::uint64_t width, std::uint64_t height, std::uint64_t maxPixels) { return width * height > maxPixels; }

// --- how WIC's pixel formats become our samples --------------------------------------

// A pixel format read as it is: `stored` samples of `bytes` each a pixel
// (16-bit samples little-endian, their high byte kept, as libpng's strip
// does); our channel c is stored sample order[c].
struct SampleLayout {
    const GUID* format;
    std::uint32_t stored;
    std::uint32_t bytes;
    std::uint32_t channels;
    std::array<std::uint8_t, 4> order;
    bool cmyk = false;
};

// The formats read without WIC's converter: these give the samples as
// stored. (Windows counts 16-bit integer formats as linear light, gamma 1.0,
// so its converter would brighten them on the way to 8 bits.)
const std::array<SampleLayout, 15>& sampleLayouts() {
    static const std::array<SampleLayout, 15> layouts{{
        {&GUID_WICPixelFormat8bppGray, 1, 1, 1, {0, 0, 0, 0}},
        {&GUID_WICPixelFormat24bppRGB, 3, 1, 3, {0, 1, 2, 0}},
        {&GUID_WICPixelFormat24bppBGR, 3, 1, 3, {2, 1, 0, 0}},
        {&GUID_WICPixelFormat32bppBGR, 4, 1, 3, {2, 1, 0, 0}},
        {&GUID_WICPixelFormat32bppRGB, 4, 1, 3, {0, 1, 2, 0}},
        {&GUID_WICPixelFormat32bppBGRA, 4, 1, 4, {2, 1, 0, 3}},
        {&GUID_WICPixelFormat32bppRGBA, 4, 1, 4, {0, 1, 2, 3}},
        {&GUID_WICPixelFormat16bppGray, 1, 2, 1, {0, 0, 0, 0}},
        {&GUID_WICPixelFormat48bppRGB, 3, 2, 3, {0, 1, 2, 0}},
        {&GUID_WICPixelFormat48bppBGR, 3, 2, 3, {2, 1, 0, 0}},
        {&GUID_WICPixelFormat64bppRGB, 4, 2, 3, {0, 1, 2, 0}},
        {&GUID_WICPixelFormat64bppRGBA, 4, 2, 4, {0, 1, 2, 3}},
        {&GUID_WICPixelFormat64bppBGRA, 4, 2, 4, {2, 1, 0, 3}},
        {&GUID_WICPixelFormat32bppCMYK, 4, 1, 4, {0, 1, 2, 3}, true},
        {&GUID_WICPixelFormat64bppCMYK, 4, 2, 4, {0, 1, 2, 3}, true},
    }};
    return layouts;
}

const SampleLayout* layoutOf(const GUID& format) {
    for (const SampleLayout& layout : sampleLayouts()) {
        if (IsEqualGUID(*layout.format, format)) return &layout;
    }
    return nullptr;
}

// The layout's samples are ours already, or differ only in their order.
bool readsInPlace(const SampleLayout& layout) { return layout.bytes == 1 && layout.stored == layout.channels; }

bool isGrey(const GUID& format) {
    for (const GUID* grey : {&GUID_WICPixelFormatBlackWhite, &GUID_WICPixelFormat2bppGray, &GUID_WICPixelFormat4bppGray,
                             &GUID_WICPixelFormat16bppGrayFixedPoint, &GUID_WICPixelFormat16bppGrayHalf,
                             &GUID_WICPixelFormat32bppGrayFloat, &GUID_WICPixelFormat32bppGrayFixedPoint}) {
        if (IsEqualGUID(*grey, format)) return true;
    }
    return false;
}

bool isIndexed(const GUID& format) {
    return IsEqualGUID(format, GUID_WICPixelFormat1bppIndexed) || IsEqualGUID(format, GUID_WICPixelFormat2bppIndexed) ||
           IsEqualGUID(format, GUID_WICPixelFormat4bppIndexed) || IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed);
}

// A palette's alpha decides for indexed pixels; the format's description for the others.
bool hasAlpha(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, const GUID& format) {
    BOOL alpha = FALSE;
    if (isIndexed(format)) {
        ComPtr<IWICPalette> palette;
        if (FAILED(factory->CreatePalette(palette.out())) || FAILED(frame->CopyPalette(palette.get()))) return false;
        return SUCCEEDED(palette->HasAlpha(&alpha)) && alpha != FALSE;
    }
    ComPtr<IWICComponentInfo> info;
    ComPtr<IWICPixelFormatInfo2> pixelInfo;
    if (FAILED(factory->CreateComponentInfo(format, info.out())) ||
        FAILED(info->QueryInterface(IID_IWICPixelFormatInfo2, pixelInfo.outVoid()))) {
        return false;
    }
    return SUCCEEDED(pixelInfo->SupportsTransparency(&alpha)) && alpha != FALSE;
}

// How a format we do not read as it is arrives: converted by WIC to
// 32bppBGRA, the one format its converter reaches from every other (Wine's
// reaches no other from a palette), of which we keep grey, RGB or RGBA as the
// source has them.
SampleLayout convertedLayout(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, const GUID& format) {
    if (isGrey(format)) return {&GUID_WICPixelFormat32bppBGRA, 4, 1, 1, {1, 0, 0, 0}};
    if (hasAlpha(factory, frame, format)) return {&GUID_WICPixelFormat32bppBGRA, 4, 1, 4, {2, 1, 0, 3}};
    return {&GUID_WICPixelFormat32bppBGRA, 4, 1, 3, {2, 1, 0, 0}};
}

// --- reading pixels -------------------------------------------------------------------

// Each CopyPixels call fills at most this many bytes: a UINT counts them, and
// the scratch rows of a conversion stay small.
constexpr std::uint64_t BandBytes = 4u << 20;

void reorderInPlace(Image& image, const SampleLayout& layout) {
    if (layout.channels < 3 || layout.order[0] == 0) return;
    for (std::size_t i = 0; i + 2 < image.samples.size(); i += image.channels) {
        std::swap(image.samples[i], image.samples[i + 2]);
    }
}

void unpackRow(const std::uint8_t* stored, std::uint8_t* ours, std::uint32_t width, const SampleLayout& layout) {
    const std::size_t pixelBytes = std::size_t{layout.stored} * layout.bytes;
    const std::size_t high = layout.bytes - 1;
    for (std::uint32_t x = 0; x < width; ++x, stored += pixelBytes) {
        for (std::uint32_t c = 0; c < layout.channels; ++c) *ours++ = stored[layout.order[c] * layout.bytes + high];
    }
}

// `source`'s pixels, in `layout`'s format, as our samples, a band of rows at a time.
HRESULT readPixels(IWICBitmapSource* source, ImageSize size, const SampleLayout& layout, Image& image) {
    const std::uint64_t storedRow = std::uint64_t{size.width} * layout.stored * layout.bytes;
    if (storedRow > UINT_MAX || size.width > INT_MAX || size.height > INT_MAX) return SizeOverflow;
    if (!allocateImage(image, size, layout.channels)) return E_OUTOFMEMORY;
    const bool inPlace = readsInPlace(layout);
    const auto rowBytes = static_cast<UINT>(storedRow);
    const auto bandRows = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(BandBytes / rowBytes, 1, size.height));
    Image scratch;  // stored rows of one band, when they are not ours as they are
    if (!inPlace && !allocateImage(scratch, {rowBytes, bandRows}, 1)) return E_OUTOFMEMORY;
    const std::size_t ourRow = std::size_t{size.width} * layout.channels;
    for (std::uint32_t y = 0; y < size.height; y += bandRows) {
        const std::uint32_t rows = std::min(bandRows, size.height - y);
        const WICRect band{0, static_cast<INT>(y), static_cast<INT>(size.width), static_cast<INT>(rows)};
        BYTE* target = inPlace ? image.samples.data() + y * ourRow : scratch.samples.data();
        if (const HRESULT copied = source->CopyPixels(&band, rowBytes, rowBytes * rows, target); FAILED(copied)) {
            return copied;
        }
        if (inPlace) continue;
        for (std::uint32_t r = 0; r < rows; ++r) {
            unpackRow(scratch.samples.data() + std::size_t{r} * rowBytes, image.samples.data() + (y + r) * ourRow,
                      size.width, layout);
        }
    }
    if (inPlace) reorderInPlace(image, layout);
    return S_OK;
}

// WIC hands CMYK as the inks' amounts (an Adobe JPEG's inverted samples
// already turned back by the decoder).
void finishCmyk(DecodedPicture& decoded, const SampleLayout& layout) {
    if (!layout.cmyk) return;
    decoded.image = rgbOfCmyk(viewOf(decoded.image), false);
    if (decoded.image.samples.empty()) decoded = outOfMemory();
}

// A frame's pixels, through WIC's converter when we do not read its format as it is.
DecodedPicture readFrame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, ImageSize size,
                         PictureFormat format) {
    GUID native{};
    if (const HRESULT read = frame->GetPixelFormat(&native); FAILED(read)) return wicFailure(read);
    const SampleLayout* known = layoutOf(native);
    const SampleLayout layout = known != nullptr ? *known : convertedLayout(factory, frame, native);
    IWICBitmapSource* source = frame;
    ComPtr<IWICFormatConverter> converter;
    if (known == nullptr) {
        HRESULT made = factory->CreateFormatConverter(converter.out());
        if (SUCCEEDED(made)) {
            made = converter->Initialize(frame, *layout.format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom);
        }
        if (FAILED(made)) return wicFailure(made);
        source = converter.get();
    }
    DecodedPicture decoded;
    if (const HRESULT read = readPixels(source, size, layout, decoded.image); FAILED(read)) {
        return pixelFailure(format, read);
    }
    finishCmyk(decoded, layout);
    return decoded;
}

// --- opening a file --------------------------------------------------------------------

const GUID* containerOf(PictureFormat format) {
    switch (format) {
        case PictureFormat::Jpeg: return &GUID_ContainerFormatJpeg;
        case PictureFormat::Png: return &GUID_ContainerFormatPng;
        case PictureFormat::Gif: return &GUID_ContainerFormatGif;
        case PictureFormat::Bmp: return &GUID_ContainerFormatBmp;
        case PictureFormat::Heif: return &GUID_ContainerFormatHeif;
        case PictureFormat::Tiff: return &GUID_ContainerFormatTiff;
        case PictureFormat::Webp: return &GUID_ContainerFormatWebp;
        case PictureFormat::Unknown: break;
    }
    return nullptr;
}

// The file's first frame, read from memory; the stream is kept as long as
// the decoder that reads it.
struct OpenPicture {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ImageSize size;
};

// The decoder of the format pictureFormat() found, not one WIC guesses: a
// file is read as what it was checked to be.
std::optional<DecodedPicture> openPicture(IWICImagingFactory* factory, std::span<const std::uint8_t> file,
                                         PictureFormat format, OpenPicture& open) {
    HRESULT result = factory->CreateStream(open.stream.out());
    // WIC only reads the bytes; its interface takes them without const.
    if (SUCCEEDED(result)) {
        result = open.stream->InitializeFromMemory(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()));
    }
    if (FAILED(result)) return wicFailure(result);
    result = factory->CreateDecoder(*containerOf(format), nullptr, open.decoder.out());
    if (result == WINCODEC_ERR_COMPONENTNOTFOUND) return missingDecoder(format);
    if (SUCCEEDED(result)) result = open.decoder->Initialize(open.stream.get(), WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(result)) result = open.decoder->GetFrame(0, open.frame.out());
    UINT width = 0, height = 0;
    if (SUCCEEDED(result)) result = open.frame->GetSize(&width, &height);
    if (FAILED(result)) return pixelFailure(format, result);
    if (width == 0 || height == 0) return noPixels();
    open.size = {width, height};
    return std::nullopt;
}

// --- JPEG: reduced by the decoder when it can -------------------------------------------

// The strongest reduction (1/8, 1/4, 1/2) the decoder offers that still
// covers `atLeast`. Windows' JPEG decoder offers them through
// IWICBitmapSourceTransform; Wine's (8.0) offers no such interface, so under
// Wine every JPEG is decoded whole.
std::optional<ImageSize> reducedSize(IWICBitmapSourceTransform* transform, ImageSize full, ImageSize atLeast) {
    BOOL plain = FALSE;
    if (FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &plain)) || plain == FALSE) return std::nullopt;
    for (const std::uint32_t denominator : {8u, 4u, 2u}) {
        UINT width = (full.width + denominator - 1) / denominator;
        UINT height = (full.height + denominator - 1) / denominator;
        if (width < atLeast.width || height < atLeast.height) continue;
        if (FAILED(transform->GetClosestSize(&width, &height))) return std::nullopt;
        const bool covers = width >= atLeast.width && height >= atLeast.height;
        const bool smaller = width <= full.width && height <= full.height && width * std::uint64_t{height} <
                                                                                 full.width * std::uint64_t{full.height};
        if (covers && smaller) return ImageSize{width, height};
    }
    return std::nullopt;
}

// The frame decoded already reduced, in its own pixel format; none when the
// decoder cannot, and the caller decodes it whole.
std::optional<DecodedPicture> decodeReduced(IWICBitmapFrameDecode* frame, ImageSize full, ImageSize atLeast) {
    if (atLeast.width == 0 || atLeast.height == 0) return std::nullopt;
    ComPtr<IWICBitmapSourceTransform> transform;
    if (FAILED(frame->QueryInterface(SourceTransformId, transform.outVoid())) || !transform) return std::nullopt;
    const std::optional<ImageSize> size = reducedSize(transform.get(), full, atLeast);
    GUID native{};
    if (!size || FAILED(frame->GetPixelFormat(&native))) return std::nullopt;
    GUID format = native;
    const SampleLayout* layout = layoutOf(native);
    if (FAILED(transform->GetClosestPixelFormat(&format)) || !IsEqualGUID(format, native) || layout == nullptr ||
        !readsInPlace(*layout)) {
        return std::nullopt;
    }
    const std::uint64_t stride = std::uint64_t{size->width} * layout->channels;
    if (stride * size->height > UINT_MAX) return std::nullopt;
    DecodedPicture decoded;
    if (!allocateImage(decoded.image, *size, layout->channels)) return outOfMemory();
    const HRESULT copied = transform->CopyPixels(nullptr, size->width, size->height, &format, WICBitmapTransformRotate0,
                                                 static_cast<UINT>(stride), static_cast<UINT>(stride * size->height),
                                                 decoded.image.samples.data());
    if (FAILED(copied)) return wicFailure(copied);
    reorderInPlace(decoded.image, *layout);
    finishCmyk(decoded, *layout);
    return decoded;
}

// --- GIF: the first frame on its logical screen -------------------------------------------

std::optional<std::uint32_t> metadataNumber(IWICMetadataQueryReader* reader, const wchar_t* name) {
    PROPVARIANT value{};
    std::optional<std::uint32_t> number;
    if (SUCCEEDED(reader->GetMetadataByName(name, &value))) {
        if (value.vt == VT_UI1) number = value.bVal;
        if (value.vt == VT_UI2) number = value.uiVal;
        if (value.vt == VT_UI4) number = value.ulVal;
    }
    PropVariantClear(&value);
    return number;
}

struct GifPlacement {
    ImageSize screen;
    std::uint32_t left = 0;
    std::uint32_t top = 0;
};

// The logical screen and where the frame sits on it; the frame alone when the
// metadata cannot be read.
GifPlacement gifPlacement(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame, ImageSize frameSize) {
    GifPlacement placement{frameSize};
    ComPtr<IWICMetadataQueryReader> global;
    if (SUCCEEDED(decoder->GetMetadataQueryReader(global.out()))) {
        const auto width = metadataNumber(global.get(), L"/logscrdesc/Width");
        const auto height = metadataNumber(global.get(), L"/logscrdesc/Height");
        if (width && height) placement.screen = {*width, *height};
    }
    ComPtr<IWICMetadataQueryReader> local;
    if (SUCCEEDED(frame->GetMetadataQueryReader(local.out()))) {
        placement.left = metadataNumber(local.get(), L"/imgdesc/Left").value_or(0);
        placement.top = metadataNumber(local.get(), L"/imgdesc/Top").value_or(0);
    }
    return placement;
}

// The frame's opaque pixels on a transparent screen; what falls outside the screen is cut.
void placeOnScreen(const Image& frame, const GifPlacement& placement, Image& screen) {
    for (std::uint32_t y = 0; y < frame.size.height; ++y) {
        const std::uint64_t screenY = std::uint64_t{placement.top} + y;
        if (screenY >= placement.screen.height) break;
        for (std::uint32_t x = 0; x < frame.size.width; ++x) {
            const std::uint64_t screenX = std::uint64_t{placement.left} + x;
            if (screenX >= placement.screen.width) break;
            const std::uint8_t* pixel = &frame.samples[(std::size_t{y} * frame.size.width + x) * 4];
            if (pixel[3] == 0) continue;
            const auto at = static_cast<std::size_t>((screenY * placement.screen.width + screenX) * 4);
            std::memcpy(&screen.samples[at], pixel, 4);
        }
    }
}

DecodedPicture decodeGif(IWICImagingFactory* factory, const OpenPicture& open, std::uint64_t maxPixels) {
    const GifPlacement placement = gifPlacement(open.decoder.get(), open.frame.get(), open.size);
    if (placement.screen.width == 0 || placement.screen.height == 0) return noPixels();
    if (tooMany(placement.screen.width, placement.screen.height, maxPixels) ||
        tooMany(open.size.width, open.size.height, maxPixels)) {
        return tooManyPixels();
    }
    // The transparent index comes with alpha 0 in the frame's palette.
    ComPtr<IWICFormatConverter> converter;
    HRESULT made = factory->CreateFormatConverter(converter.out());
    if (SUCCEEDED(made)) {
        made = converter->Initialize(open.frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom);
    }
    if (FAILED(made)) return wicFailure(made);
    Image frame;
    if (const HRESULT read = readPixels(converter.get(), open.size, *layoutOf(GUID_WICPixelFormat32bppBGRA), frame);
        FAILED(read)) {
        return wicFailure(read);
    }
    DecodedPicture decoded;
    if (!allocateImage(decoded.image, placement.screen, 4)) return outOfMemory();
    placeOnScreen(frame, placement, decoded.image);
    return decoded;
}

// --- orientation --------------------------------------------------------------------------

// The turn the frame's metadata names, for the decoders that hand the stored
// pixels (HEIF's and TIFF's); as stored when there is none.
int orientationLeftToUs(IWICBitmapFrameDecode* frame, PictureFormat format) {
    const std::string_view query = orientationQuery(format);
    ComPtr<IWICMetadataQueryReader> reader;
    if (query.empty() || FAILED(frame->GetMetadataQueryReader(reader.out()))) return 1;
    const std::wstring name(query.begin(), query.end());
    return orientationOfValue(metadataNumber(reader.get(), name.c_str()));
}

// --- BMP -----------------------------------------------------------------------------

// An alpha mask over pixels that are all 0 is a mask nobody filled: opaque,
// as our BMP reader has it.
void opaqueWhenAlphaUnfilled(Image& image) {
    if (image.channels != 4) return;
    for (std::size_t i = 3; i < image.samples.size(); i += 4) {
        if (image.samples[i] != 0) return;
    }
    for (std::size_t i = 3; i < image.samples.size(); i += 4) image.samples[i] = 255;
}

DecodedPicture decodeOpen(IWICImagingFactory* factory, const OpenPicture& open, PictureFormat format,
                          ImageSize atLeast, std::uint64_t maxPixels) {
    if (format == PictureFormat::Gif) return decodeGif(factory, open, maxPixels);
    if (tooMany(open.size.width, open.size.height, maxPixels)) return tooManyPixels();
    if (format == PictureFormat::Jpeg) {
        if (std::optional<DecodedPicture> reduced = decodeReduced(open.frame.get(), open.size, atLeast)) {
            return std::move(*reduced);
        }
    }
    DecodedPicture decoded = readFrame(factory, open.frame.get(), open.size, format);
    if (format == PictureFormat::Bmp) opaqueWhenAlphaUnfilled(decoded.image);
    decoded.orientation = orientationLeftToUs(open.frame.get(), format);
    return decoded;
}

// --- encoding --------------------------------------------------------------------------

// How our samples are handed to an encoder: stored sample k of a pixel is our channel from[k].
struct Packing {
    const GUID* format;
    std::uint32_t stored;
    std::array<std::uint8_t, 4> from;
};

// The formats every WIC encoder of JPEG and PNG takes: grey, BGR and BGRA (grey
// and alpha, which WIC has no format for, as BGRA).
std::optional<Packing> packingFor(std::uint32_t channels) {
    switch (channels) {
        case 1: return Packing{&GUID_WICPixelFormat8bppGray, 1, {0, 0, 0, 0}};
        case 2: return Packing{&GUID_WICPixelFormat32bppBGRA, 4, {0, 0, 0, 1}};
        case 3: return Packing{&GUID_WICPixelFormat24bppBGR, 3, {2, 1, 0, 0}};
        case 4: return Packing{&GUID_WICPixelFormat32bppBGRA, 4, {2, 1, 0, 3}};
        default: return std::nullopt;
    }
}

void packRows(const Image& image, std::uint32_t firstRow, std::uint32_t rows, const Packing& packing, std::uint8_t* out) {
    const std::size_t start = std::size_t{firstRow} * image.size.width * image.channels;
    const std::size_t pixels = std::size_t{rows} * image.size.width;
    const std::uint8_t* ours = image.samples.data() + start;
    for (std::size_t p = 0; p < pixels; ++p, ours += image.channels) {
        for (std::uint32_t k = 0; k < packing.stored; ++k) *out++ = ours[packing.from[k]];
    }
}

HRESULT writeAllPixels(IWICBitmapFrameEncode* frame, const Image& image, const Packing& packing) {
    const std::uint64_t row = std::uint64_t{image.size.width} * packing.stored;
    if (row > UINT_MAX) return E_INVALIDARG;
    const auto bandRows = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(BandBytes / row, 1, image.size.height));
    Image band;
    if (!allocateImage(band, {static_cast<std::uint32_t>(row), bandRows}, 1)) return E_OUTOFMEMORY;
    for (std::uint32_t y = 0; y < image.size.height; y += bandRows) {
        const std::uint32_t rows = std::min(bandRows, image.size.height - y);
        packRows(image, y, rows, packing, band.samples.data());
        const auto stride = static_cast<UINT>(row);
        if (const HRESULT written = frame->WritePixels(rows, stride, stride * rows, band.samples.data()); FAILED(written)) {
            return written;
        }
    }
    return S_OK;
}

bool writeOption(IPropertyBag2* options, const wchar_t* name, VARIANT value) {
    PROPBAG2 option{};
    option.pstrName = const_cast<LPOLESTR>(name);  // read only, whatever the declaration says
    return SUCCEEDED(options->Write(1, &option, &value));
}

// Quality 90 keeps colour at half resolution, as cameras do (4:2:0, also
// WIC's default). An encoder that refuses an option writes its default. Wine's
// (8.0) accepts both options and applies neither: its JPEGs are libjpeg's
// quality 75, 4:2:0, whatever is asked.
void setJpegOptions(IPropertyBag2* options, int quality) {
    VARIANT value{};
    value.vt = VT_R4;
    value.fltVal = static_cast<float>(std::clamp(quality, 1, 100)) / 100.0f;
    writeOption(options, L"ImageQuality", value);
    value.vt = VT_UI1;
    value.bVal = static_cast<BYTE>(WICJpegYCrCbSubsampling420);
    writeOption(options, L"JpegYCrCbSubsampling", value);
}

// The bytes an in-memory stream holds.
std::vector<std::uint8_t> streamBytes(IStream* stream) {
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > UINT_MAX) {
        return {};
    }
    const auto size = static_cast<std::uint32_t>(stat.cbSize.QuadPart);
    Image bytes;
    if (!allocateImage(bytes, {size, 1}, 1)) return {};
    LARGE_INTEGER start{};
    ULONG read = 0;
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(bytes.samples.data(), size, &read)) || read != size) {
        return {};
    }
    return std::move(bytes.samples);
}

// `image` encoded by WIC's encoder of `container`; empty on any failure.
std::vector<std::uint8_t> encodeWith(const GUID& container, const Image& image, const Packing& packing, int quality) {
    if (image.size.width == 0 || image.size.height == 0 ||
        image.samples.size() != std::size_t{image.size.width} * image.size.height * image.channels) {
        return {};
    }
    const ComUse com;
    if (!com.usable()) return {};
    const ComPtr<IWICImagingFactory> factory = imagingFactory();
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (!factory || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.out())) ||
        FAILED(factory->CreateEncoder(container, nullptr, encoder.out())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.out(), options.out()))) {
        return {};
    }
    if (IsEqualGUID(container, GUID_ContainerFormatJpeg) && options) setJpegOptions(options.get(), quality);
    // The encoder answers with the nearest format it takes: only ours will do.
    GUID format = *packing.format;
    if (FAILED(frame->Initialize(options.get())) || FAILED(frame->SetSize(image.size.width, image.size.height)) ||
        FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, *packing.format) ||
        FAILED(writeAllPixels(frame.get(), image, packing)) || FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
        return {};
    }
    return streamBytes(stream.get());
}

}  // namespace

DecodedPicture decodePicture(std::span<const std::uint8_t> file, PictureFormat format, ImageSize atLeast,
                             std::uint64_t maxPixels) {
    if (file.empty()) return failure(PictureProblem::EmptyFile, "an empty file");
    if (containerOf(format) == nullptr) return failure(PictureProblem::NotAPicture, "not a picture");
    if (file.size() > MAXDWORD) return failure(PictureProblem::NotDecodedHere, "too large a file");
    // Some decoders (Wine's among them) decode at Initialize: a header that
    // declares too many pixels is refused before any decoder sees it.
    if (const std::optional<ImageSize> declared = declaredSize(format, file);
        declared && tooMany(declared->width, declared->height, maxPixels)) {
        return tooManyPixels();
    }
    const ComUse com;
    if (!com.usable()) return failure(PictureProblem::NotDecodedHere, "COM cannot start on this thread");
    const ComPtr<IWICImagingFactory> factory = imagingFactory();
    if (!factory) return failure(PictureProblem::NotDecodedHere, "the Windows Imaging Component is missing");
    OpenPicture open;
    if (std::optional<DecodedPicture> refused = openPicture(factory.get(), file, format, open)) {
        return std::move(*refused);
    }
    return decodeOpen(factory.get(), open, format, atLeast, maxPixels);
}

std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality) {
    if (image.channels != 1 && image.channels != 3) return {};
    return encodeWith(GUID_ContainerFormatJpeg, image, *packingFor(image.channels), quality);
}

std::vector<std::uint8_t> encodePng(const Image& image) {
    const std::optional<Packing> packing = packingFor(image.channels);
    if (!packing) return {};
    return encodeWith(GUID_ContainerFormatPng, image, *packing, 0);
}

const char* pictureCodecsName() { return "Windows Imaging Component"; }
