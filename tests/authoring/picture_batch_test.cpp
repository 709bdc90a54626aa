// A quiz's pictures prepared on every core: the same result as one by one,
// progress told on the caller's thread in order, the first failure in question
// order reported whatever the threads did.

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "picture_preparation/picture_batch.h"
#include "authoring/quiz_resources.h"
#include "tests/support/test_pictures.h"

namespace {

constexpr Rgb Background{10, 20, 30};

std::optional<PictureInput> input(const char* name, Bytes bytes) { return PictureInput{name, std::move(bytes)}; }

std::vector<std::optional<PictureInput>> somePictures() {
    Quadrants clear = Upright;
    clear[0].alpha = 0;
    return {input("a.jpg", encodeJpeg(quadrantImage({900, 700}, Upright), 90)), std::nullopt,
            input("b.png", encodePng(quadrantImage({70, 50}, clear, 4))), input("c.gif", gifFile(quadrantImage({30, 20}, clear, 4))),
            input("d.bmp", bmpFile(quadrantImage({700, 900}, Upright)))};
}

TEST(PictureBatch, TheSameAsOneByOneWithProgressOnTheCallersThread) {
    const auto pictures = somePictures();
    std::vector<std::pair<std::size_t, std::size_t>> told;
    const std::thread::id caller = std::this_thread::get_id();
    bool elsewhere = false;
    const auto prepared = preparePictures(pictures, Background, [&](std::size_t done, std::size_t total) {
        told.emplace_back(done, total);
        elsewhere = elsewhere || std::this_thread::get_id() != caller;
    });
    ASSERT_EQ(prepared.size(), pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        ASSERT_EQ(prepared[i].has_value(), pictures[i].has_value()) << i;
        if (!pictures[i]) continue;
        const PreparedPicture alone = preparePicture(pictures[i]->bytes, pictures[i]->name, Background);
        EXPECT_EQ(prepared[i]->bytes, alone.bytes) << pictures[i]->name;
        EXPECT_EQ(prepared[i]->kind, alone.kind) << pictures[i]->name;
    }
    EXPECT_FALSE(elsewhere) << "progress was told on a worker thread";
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), (std::pair<std::size_t, std::size_t>{4, 4}));
    for (std::size_t i = 1; i < told.size(); ++i) EXPECT_LE(told[i - 1].first, told[i].first);
}

TEST(PictureBatch, WorkersNoMoreThanCoresPicturesOrWhatA32BitProcessHolds) {
    const struct {
        unsigned cores;
        std::size_t jobs, pointerBytes, workers;
    } cases[] = {
        {16, 96, 4, 4},  {16, 96, 8, 16}, {2, 96, 4, 2}, {8, 3, 8, 3},
        {0, 5, 8, 1},  // the core count unknown
        {4, 0, 4, 0},  // nothing to prepare
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pictureWorkerCount(c.cores, c.jobs, c.pointerBytes), c.workers)
            << c.cores << " cores, " << c.jobs << " pictures, " << c.pointerBytes << "-byte pointers";
    }
}

TEST(PictureBatch, TheFirstFailureInQuestionOrderIsTheOneReported) {
    QuizSource source;
    auto pictures = somePictures();
    pictures[1] = input("broken.png", {0x89, 'P', 'N', 'G'});
    pictures[3] = input("worse.gif", {'G', 'I', 'F'});
    source.questions.resize(pictures.size());
    for (int run = 0; run < 3; ++run) {
        const QuizResources quiz = quizResources(source, "quiz.toml", pictures);
        EXPECT_FALSE(quiz.ok());
        EXPECT_EQ(quiz.subject, "broken.png");
        EXPECT_EQ(quiz.error, "question 2: not a JPEG, PNG, GIF, BMP, HEIC, TIFF or WebP picture");
        EXPECT_TRUE(quiz.resources.empty()) << "nothing is made when a picture fails";
    }
}

TEST(PictureBatch, QuizPicturesTakeTheQuizBackgroundAndTheirKindsType) {
    QuizSource source;
    source.backgroundRed = 200;
    source.backgroundGreen = 100;
    source.backgroundBlue = 0;
    auto pictures = somePictures();
    source.questions.resize(pictures.size());
    const QuizResources quiz = quizResources(source, "quiz.toml", pictures);
    ASSERT_TRUE(quiz.ok()) << quiz.error;
    const auto png = std::find_if(quiz.resources.begin(), quiz.resources.end(),
                                  [](const Resource& r) { return r.name == ResourceKey::fromId(403); });
    ASSERT_NE(png, quiz.resources.end());
    EXPECT_EQ(png->type, ResourceKey::fromId(10)) << "a PNG is raw data";
    const Rgba corner = quadrantCentre(decodePicture(png->data, PictureFormat::Png, {}, MaxPicturePixels).image, 0);
    EXPECT_EQ(corner.red, 200);
    EXPECT_EQ(corner.green, 100);
    EXPECT_EQ(corner.blue, 0);
}

}  // namespace
