#include "editor/thumbnails_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "editor/editor_state_win32.h"
#include "editor/thumbnail_image.h"
#include "picture_preparation/picture_codecs.h"
#include "picture_preparation/picture_preparation.h"
#include "pictures/worker_count.h"
#include "resources/contract_ids.h"

namespace {

constexpr int PlainTile = 0;  // the first image of every list

struct Job {
    SharedPrepared picture;
    ImageSize tile;
    Rgb background;
    std::uint64_t generation;
};

struct Made {
    SharedPrepared picture;
    Image pixels;  // empty: the picture could not be shown
    std::uint64_t generation;
};

struct Thumbnails {
    // The window's thread only.
    std::map<SharedPrepared, int> indexes;  // made and in the list; the key keeps its picture
    std::set<SharedPrepared> asked;         // handed to the maker, not back yet
    std::uint64_t generation = 0;           // of the list's images: older thumbnails are dropped

    std::vector<std::thread> makers;
    std::mutex mutex;  // guards what follows
    std::condition_variable wake;
    std::deque<Job> jobs;    // asked for by rows being drawn: made first
    std::deque<Job> behind;  // the rest of the document's, made while nothing is asked
    std::vector<Made> made;
    HWND window = nullptr;  // told of what is made; none before it is made
    bool behindHeld = false;
    bool stopping = false;
};

Thumbnails thumbnails;

Rgb windowColour() {
    const COLORREF colour = GetSysColor(COLOR_WINDOW);
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

ImageSize tileSize() {
    return {static_cast<std::uint32_t>(scaled(ThumbnailWidth)), static_cast<std::uint32_t>(scaled(ThumbnailHeight))};
}

Image thumbnailOf(const Job& job) {
    const std::vector<std::uint8_t>& bytes = job.picture->bytes;
    // A JPEG comes reduced where the system can (1/2 to 1/8), still covering the tile.
    const Image picture = decodePicture(bytes, pictureFormat(bytes), job.tile, MaxPicturePixels).image;
    if (picture.samples.empty()) return {};
    return thumbnailImage(viewOf(picture), job.tile, job.background);
}

bool anyJobToTake() {
    return !thumbnails.jobs.empty() || (!thumbnails.behindHeld && !thumbnails.behind.empty());
}

void makeThumbnails() {
    std::unique_lock lock(thumbnails.mutex);
    for (;;) {
        thumbnails.wake.wait(lock, [] { return thumbnails.stopping || anyJobToTake(); });
        if (thumbnails.stopping) return;
        std::deque<Job>& from = thumbnails.jobs.empty() ? thumbnails.behind : thumbnails.jobs;
        Job job = std::move(from.front());
        from.pop_front();
        lock.unlock();
        Image pixels = thumbnailOf(job);
        lock.lock();
        // One message for all that are made before the window takes them.
        if (thumbnails.made.empty() && thumbnails.window != nullptr) {
            PostMessageW(thumbnails.window, ThumbnailsReady, 0, 0);
        }
        thumbnails.made.push_back({std::move(job.picture), std::move(pixels), job.generation});
    }
}

// A 24-bit bitmap of RGB pixels; null when it cannot be made.
HBITMAP bitmapOf(const Image& rgb) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(rgb.size.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(rgb.size.height);  // top-down, as the samples are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    const std::size_t stride = (std::size_t{rgb.size.width} * 3 + 3) & ~std::size_t{3};
    for (std::uint32_t y = 0; y < rgb.size.height; ++y) {
        const std::uint8_t* from = rgb.samples.data() + std::size_t{y} * rgb.size.width * 3;
        auto* to = static_cast<std::uint8_t*>(bits) + y * stride;
        for (std::uint32_t x = 0; x < rgb.size.width; ++x, from += 3, to += 3) {
            to[0] = from[2];  // Windows keeps blue first
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return bitmap;
}

int addImage(const Image& rgb) {
    HBITMAP bitmap = bitmapOf(rgb);
    if (bitmap == nullptr) return PlainTile;
    const int index = ImageList_Add(editor.images, bitmap, nullptr);
    DeleteObject(bitmap);
    return index < 0 ? PlainTile : index;
}

void startAgain() {
    thumbnails.indexes.clear();
    thumbnails.asked.clear();
    ++thumbnails.generation;
    const std::lock_guard lock(thumbnails.mutex);
    thumbnails.jobs.clear();
    thumbnails.behind.clear();
}

// As many makers as the processor runs (at most 4 in this 32-bit process),
// started with the first thumbnail asked for. Under the lock.
void startMakers() {
    if (!thumbnails.makers.empty()) return;
    const std::size_t count = pictureWorkerCount(std::thread::hardware_concurrency(), 64);
    for (std::size_t i = 0; i < count; ++i) thumbnails.makers.emplace_back(makeThumbnails);
}

// A picture waiting behind moves ahead: its row is being drawn. Under the lock.
bool moveAhead(const SharedPrepared& picture) {
    const auto waiting = std::find_if(thumbnails.behind.begin(), thumbnails.behind.end(),
                                      [&](const Job& job) { return job.picture == picture; });
    if (waiting == thumbnails.behind.end()) return false;
    thumbnails.jobs.push_back(std::move(*waiting));
    thumbnails.behind.erase(waiting);
    return true;
}

// Those of `pictures` not made nor asked yet, queued in `queue`.
void queueThumbnails(std::span<const SharedPrepared> pictures, std::deque<Job>& queue) {
    {
        const std::lock_guard lock(thumbnails.mutex);
        for (const SharedPrepared& picture : pictures) {
            if (picture == nullptr || thumbnails.indexes.contains(picture) || !thumbnails.asked.insert(picture).second) {
                continue;
            }
            startMakers();
            queue.push_back({picture, tileSize(), windowColour(), thumbnails.generation});
        }
    }
    thumbnails.wake.notify_all();
}

}  // namespace

void makeThumbnailList(HWND list) {
    HIMAGELIST previous = editor.images;
    const ImageSize tile = tileSize();
    int width = 0;
    int height = 0;
    const bool fits = previous != nullptr && ImageList_GetIconSize(previous, &width, &height) &&
                      ImageSize{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)} == tile;
    if (!fits) {
        editor.images =
            ImageList_Create(static_cast<int>(tile.width), static_cast<int>(tile.height), ILC_COLOR24, 16, 16);
        addImage(thumbnailImage(ImageView{}, tile, windowColour()));
        startAgain();
    }
    // The list's rows take the height of its images.
    if (list != nullptr) ListView_SetImageList(list, editor.images, LVSIL_SMALL);
    if (!fits && previous != nullptr) ImageList_Destroy(previous);
}

void sendThumbnailsTo(HWND window) {
    const std::lock_guard lock(thumbnails.mutex);
    thumbnails.window = window;
    if (!thumbnails.made.empty()) PostMessageW(window, ThumbnailsReady, 0, 0);
}

void forgetThumbnails() {
    ImageList_Remove(editor.images, -1);
    addImage(thumbnailImage(ImageView{}, tileSize(), windowColour()));
    startAgain();
}

int thumbnailIndex(const SharedPrepared& picture) {
    if (picture == nullptr) return PlainTile;
    if (const auto found = thumbnails.indexes.find(picture); found != thumbnails.indexes.end()) return found->second;
    const bool asked = !thumbnails.asked.insert(picture).second;
    {
        const std::lock_guard lock(thumbnails.mutex);
        startMakers();
        if (asked && !moveAhead(picture)) return PlainTile;  // being made
        if (!asked) thumbnails.jobs.push_back({picture, tileSize(), windowColour(), thumbnails.generation});
    }
    thumbnails.wake.notify_one();
    return PlainTile;
}

void makeThumbnailsBehind(std::span<const SharedPrepared> pictures) { queueThumbnails(pictures, thumbnails.behind); }

void makeThumbnailsFirst(std::span<const SharedPrepared> pictures) { queueThumbnails(pictures, thumbnails.jobs); }

void holdThumbnailsBehind(bool held) {
    {
        const std::lock_guard lock(thumbnails.mutex);
        thumbnails.behindHeld = held;
    }
    thumbnails.wake.notify_all();
}

void onThumbnailsReady() {
    std::vector<Made> made;
    {
        const std::lock_guard lock(thumbnails.mutex);
        made.swap(thumbnails.made);
    }
    bool added = false;
    for (const Made& thumbnail : made) {
        if (thumbnail.generation != thumbnails.generation) continue;
        thumbnails.asked.erase(thumbnail.picture);
        thumbnails.indexes[thumbnail.picture] = thumbnail.pixels.samples.empty() ? PlainTile : addImage(thumbnail.pixels);
        added = true;
    }
    if (added) InvalidateRect(control(atelierid::QuestionList), nullptr, FALSE);
}

void stopThumbnails() {
    {
        const std::lock_guard lock(thumbnails.mutex);
        thumbnails.stopping = true;
        thumbnails.jobs.clear();
        thumbnails.behind.clear();
    }
    thumbnails.wake.notify_all();
    for (std::thread& maker : thumbnails.makers) maker.join();
    thumbnails.makers.clear();
}
