#include "picture_preparation/picture_batch.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace {

struct Batch {
    std::span<const std::optional<PictureInput>> pictures;
    Rgb background;
    std::vector<std::size_t> order;  // indices of the pictures given
    std::vector<std::optional<PreparedPicture>> results;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;  // into `order`
    std::size_t done = 0;
    std::size_t running = 0;
    std::size_t firstFailure = std::numeric_limits<std::size_t>::max();  // into `order`
};

// The next picture to prepare, or none when all are taken or one before it failed.
std::optional<std::size_t> take(Batch& batch) {
    const std::scoped_lock lock(batch.mutex);
    if (batch.next >= batch.order.size() || batch.next > batch.firstFailure) return std::nullopt;
    return batch.next++;
}

void work(Batch& batch) {
    while (const std::optional<std::size_t> taken = take(batch)) {
        const PictureInput& input = *batch.pictures[batch.order[*taken]];
        PreparedPicture picture = preparePicture(input.bytes, input.name, batch.background, input.quarterTurns);
        const std::scoped_lock lock(batch.mutex);
        if (!picture.ok()) batch.firstFailure = std::min(batch.firstFailure, *taken);
        batch.results[batch.order[*taken]] = std::move(picture);
        ++batch.done;
        batch.changed.notify_all();
    }
    const std::scoped_lock lock(batch.mutex);
    --batch.running;
    batch.changed.notify_all();
}

// Reports each change of the count done, and the count again at every beat
// without one, until every worker has stopped.
void reportUntilDone(Batch& batch, const PictureProgress& progress) {
    std::unique_lock lock(batch.mutex);
    std::size_t reported = 0;
    while (true) {
        const bool moved =
            batch.changed.wait_for(lock, ProgressBeat, [&] { return batch.done != reported || batch.running == 0; });
        if (moved && batch.done == reported) return;
        reported = batch.done;
        lock.unlock();
        if (progress) progress(reported, batch.order.size());
        lock.lock();
    }
}

}  // namespace

std::vector<std::optional<PreparedPicture>> preparePictures(std::span<const std::optional<PictureInput>> pictures,
                                                            Rgb background, const PictureProgress& progress) {
    Batch batch;
    batch.pictures = pictures;
    batch.background = background;
    batch.results.resize(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i]) batch.order.push_back(i);
    }
    const std::size_t threads = pictureWorkerCount(std::thread::hardware_concurrency(), batch.order.size());
    batch.running = threads;
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < threads; ++t) workers.emplace_back(work, std::ref(batch));
    reportUntilDone(batch, progress);
    for (std::thread& worker : workers) worker.join();
    return std::move(batch.results);
}
