// Preparing quiz pictures from phone-sized photos: one 4000 x 3000 JPEG
// against the bare full decode of the same file, the size of a quiz of twelve
// such photos, a 96-photo quiz prepared on every core against 96 single
// preparations one after the other, and a photo of 200 megapixels prepared in
// a process of its own, whose peak memory is read. The photos are photo-like
// scenes made here (shading, shapes, fine texture, sensor noise) written as
// JPEG at quality 98, 3 to 4 MB as a phone writes them.
//
// Usage: picture_bench [PLAYER.exe]   (with the player, the quiz's whole size)
//        picture_bench --prepare FILE (one picture, for the peak-memory measure)

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <algorithm>
#include <vector>

#include "picture_preparation/picture_codecs.h"
#include "authoring/pe_resources.h"
#include "picture_preparation/picture_preparation.h"
#include "authoring/quiz_resources.h"
#include "bench/bench_timing.h"
#include "bench/png_images.h"
#include "common/file_access.h"

extern char** environ;  // for the child process, as POSIX gives it

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
        [&] { return decodePicture(photo, PictureFormat::Jpeg, {}, MaxPhotoPixels).error.empty(); },
    });
    const double prepare = times[0];
    const double decode = times[1];
    std::printf("one %ux%u JPEG of %.2f MB: prepared in %.1f ms (target: under 60 ms); "
                "a bare full decode of it (%s) %.1f ms; prepare / decode %.2f\n",
                PhotoSize.width, PhotoSize.height, static_cast<double>(photo.size()) / 1e6, prepare * 1e3,
                pictureCodecsName(), decode * 1e3, prepare / decode);
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
    std::printf("%zu-photo quiz on %u threads: %s in %.2f s (target: under 3 s); "
                "%zu single preparations one after the other %.1f s; ratio %.2f\n",
                LargeQuiz, std::thread::hardware_concurrency(), quiz.ok() ? "prepared" : "FAILED", seconds, LargeQuiz,
                onePrepare * LargeQuiz, seconds / (onePrepare * LargeQuiz));
}

// 16000 x 12500: a smooth scene with noise, written as a phone's 200-megapixel mode would.
std::vector<std::uint8_t> hugePhoto() {
    constexpr ImageSize Size{16000, 12500};
    Image image;
    if (!allocateImage(image, Size, 3)) return {};
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < Size.height; ++y) {
        std::uint8_t* row = image.samples.data() + std::size_t{y} * Size.width * 3;
        for (std::uint32_t x = 0; x < Size.width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const auto grain = static_cast<int>(noise >> 28) - 8;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(x * 200 / Size.width) + 30 + grain, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(y * 180 / Size.height) + 40 + grain, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(static_cast<int>((x + y) % 512 / 3) + grain, 0, 255));
        }
    }
    return encodeJpeg(image, 92);
}

// The photo is prepared by this program started again, so that the peak
// memory it reports is the preparation's alone.
void benchHugePhoto(const fs::path& folder, const char* program) {
    const fs::path path = folder / "huge.jpg";
    const std::vector<std::uint8_t> photo = hugePhoto();
    if (photo.empty()) {
        std::printf("200-megapixel photo: could not be made\n");
        return;
    }
    writeFile(path, photo);
    std::printf("one 16000x12500 JPEG (200 megapixels, %.1f MB): ", static_cast<double>(photo.size()) / 1e6);
    std::fflush(stdout);
    const std::string file = path.string();
    char* arguments[] = {const_cast<char*>(program), const_cast<char*>("--prepare"), const_cast<char*>(file.c_str()),
                         nullptr};
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0 || waitpid(child, &status, 0) < 0 ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("FAILED\n");
    }
}

// The process's own peak resident memory, from the kernel's record of its
// address space (getrusage would count the parent's too, across exec).
double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

int prepareOne(const char* path) {
    const auto bytes = readWholeFile(path);
    if (!bytes) return 1;
    const auto start = std::chrono::steady_clock::now();
    const PreparedPicture prepared = preparePicture(*bytes, path, {});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!prepared.ok()) return 1;
    std::printf("prepared in %.2f s, peak resident memory of the process %.1f MB, the file's bytes included "
                "(target: under 150 MB)\n",
                seconds, peakMegabytes());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--prepare") return prepareOne(argv[2]);
    // The photo alone, for the Windows programs' own measure (bench/run).
    if (argc == 3 && std::string(argv[1]) == "--huge-photo") {
        const std::vector<std::uint8_t> photo = hugePhoto();
        if (photo.empty()) return 1;
        writeFile(argv[2], photo);
        return 0;
    }
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
    std::fflush(stdout);
    benchHugePhoto(folder, argv[0]);
    fs::remove_all(folder);
    return 0;
}
