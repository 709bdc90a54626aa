// Preparing quiz pictures from phone-sized photos: one 4000 x 3000 JPEG
// against the bare decode of the same file, the size of a quiz of twelve such
// photos, and a 96-photo quiz prepared on every core against 96 single
// preparations one after the other. The photos are photo-like scenes made
// here (shading, shapes, fine texture, sensor noise) written as JPEG at
// quality 98, 3 to 4 MB as a phone writes them.
//
// Usage: picture_bench [PLAYER.exe]   (with the player, the quiz's whole size)

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "picture_preparation/image_codecs.h"
#include "authoring/pe_resources.h"
#include "picture_preparation/picture_preparation.h"
#include "authoring/quiz_resources.h"
#include "bench/bench_timing.h"
#include "bench/png_images.h"
#include "common/file_access.h"

namespace {

namespace fs = std::filesystem;

constexpr ImageSize PhotoSize{4000, 3000};
constexpr int CameraQuality = 98;
constexpr std::size_t DistinctPhotos = 12;
constexpr std::size_t LargeQuiz = 96;

std::vector<std::uint8_t> cameraPhoto(std::uint32_t seed) {
    const PhotoImage photo = makePhoto(PhotoSize.width, PhotoSize.height, seed);
    Image image{PhotoSize, 3, std::vector<std::uint8_t>(photo.rgb.size())};
    for (std::size_t i = 0; i < photo.rgb.size(); ++i) image.samples[i] = static_cast<std::uint8_t>(photo.rgb[i] >> 8);
    return encodeJpeg(image, CameraQuality);
}

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A quiz source of `questions` questions over the photos 1.jpg ... 12.jpg in turn.
fs::path writeQuiz(const fs::path& folder, std::size_t questions) {
    std::string source = "name = \"Photos\"\n";
    for (std::size_t i = 0; i < questions; ++i) {
        source += "[[question]]\nanswer = \"PHOTO " + std::to_string(i + 1) + "\"\npicture = \"" +
                  std::to_string(i % DistinctPhotos + 1) + ".jpg\"\n";
    }
    const fs::path path = folder / ("quiz_" + std::to_string(questions) + ".toml");
    writeFile(path, {reinterpret_cast<const std::uint8_t*>(source.data()), source.size()});
    return path;
}

double benchOnePhoto(std::span<const std::uint8_t> photo) {
    const std::vector<double> times = medianSecondsTakingTurns({
        [&] { return preparePicture(photo, "photo.jpg", {}).ok(); },
        [&] { return decodeImage(photo).error.empty(); },
    });
    const double prepare = times[0];
    const double decode = times[1];
    std::printf("one %ux%u JPEG of %.2f MB: prepared in %.0f ms (target: under 250 ms); "
                "stb_image's bare decode of it %.0f ms; prepare / decode %.2f\n",
                PhotoSize.width, PhotoSize.height, static_cast<double>(photo.size()) / 1e6, prepare * 1e3,
                decode * 1e3, prepare / decode);
    return prepare;
}

std::size_t picturesSize(const QuizResources& quiz) {
    std::size_t total = 0;
    for (std::size_t i = quiz.resources.size() - DistinctPhotos; i < quiz.resources.size(); ++i) {
        total += quiz.resources[i].data.size();
    }
    return total;
}

void benchTwelvePhotoQuiz(const fs::path& folder, std::size_t photosBytes, const char* player) {
    const QuizResources quiz = quizResourcesOfFile(writeQuiz(folder, DistinctPhotos).string());
    if (!quiz.ok()) {
        std::printf("twelve-photo quiz failed: %s: %s\n", quiz.subject.c_str(), quiz.error.c_str());
        return;
    }
    std::printf("twelve photos (%.1f MB as taken): %.2f MB of prepared pictures", static_cast<double>(photosBytes) / 1e6,
                static_cast<double>(picturesSize(quiz)) / 1e6);
    const auto image = player != nullptr ? readWholeFile(player) : std::nullopt;
    const PeWriteResult built = image ? writePeResources(*image, quiz.resources) : PeWriteResult{};
    if (image && built.error == PeError::Ok) {
        std::printf("; the quiz executable %.2f MB (target: under 2 MB), of which the player %.2f MB",
                    static_cast<double>(built.image.size()) / 1e6, static_cast<double>(image->size()) / 1e6);
    }
    std::printf("\n");
}

void benchLargeQuiz(const fs::path& folder, double onePrepare) {
    const fs::path source = writeQuiz(folder, LargeQuiz);
    const auto start = std::chrono::steady_clock::now();
    const QuizResources quiz = quizResourcesOfFile(source.string());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu-photo quiz on %u threads: %s in %.1f s (target: under 20 s); "
                "%zu single preparations one after the other %.1f s; ratio %.2f\n",
                LargeQuiz, std::thread::hardware_concurrency(), quiz.ok() ? "prepared" : "FAILED", seconds, LargeQuiz,
                onePrepare * LargeQuiz, seconds / (onePrepare * LargeQuiz));
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = fs::temp_directory_path() / "zorbel-picture-bench";
    fs::create_directories(folder);
    std::size_t photosBytes = 0;
    for (std::uint32_t i = 1; i <= DistinctPhotos; ++i) {
        const std::vector<std::uint8_t> photo = cameraPhoto(i);
        photosBytes += photo.size();
        writeFile(folder / (std::to_string(i) + ".jpg"), photo);
    }
    const auto first = readWholeFile((folder / "1.jpg").string());
    const double onePrepare = benchOnePhoto(*first);
    benchTwelvePhotoQuiz(folder, photosBytes, argc > 1 ? argv[1] : nullptr);
    benchLargeQuiz(folder, onePrepare);
    fs::remove_all(folder);
    return 0;
}
