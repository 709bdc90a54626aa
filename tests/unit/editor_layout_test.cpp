// The editor's layout: every control inside the window, none over another,
// at the smallest size and on screens of 120 to 192 dots per inch.

#include "editor/editor_layout.h"

#include <gtest/gtest.h>

#include <set>

#include "editor/editor_ids.h"
#include "resources/contract_ids.h"

namespace {

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The text fields that can have a note under them, and none (0).
constexpr int NotedFields[] = {0,
                               atelierid::ExpectedAnswer,
                               atelierid::SecondAnswer,
                               atelierid::Location,
                               atelierid::Comment,
                               atelierid::QuizName,
                               atelierid::Creator,
                               atelierid::Explanation,
                               atelierid::FirstAnswerLabel,
                               atelierid::SecondAnswerLabel,
                               atelierid::CodeLines};

Rect placeOf(const std::vector<PlacedControl>& placed, int id) {
    for (const PlacedControl& p : placed) {
        if (p.id == id) return p.place;
    }
    return Rect{};
}

TEST(EditorLayout, EveryControlFitsAndNoneCoversAnother) {
    for (const double scale : {1.0, 1.25, 1.5, 2.0}) for (const int noted : NotedFields) {
        const Size client{static_cast<int>(EditorMinimumClient.width * scale),
                          static_cast<int>(EditorMinimumClient.height * scale)};
        const std::vector<PlacedControl> placed = editorLayout(client, scale, noted);
        std::set<int> ids;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const Rect& r = placed[i].place;
            SCOPED_TRACE("control " + std::to_string(placed[i].id) + " at scale " + std::to_string(scale) +
                         ", note under " + std::to_string(noted));
            EXPECT_TRUE(ids.insert(placed[i].id).second) << "placed twice";
            EXPECT_GT(r.width, 0);
            EXPECT_GT(r.height, 0);
            EXPECT_GE(r.x, 0);
            EXPECT_GE(r.y, 0);
            EXPECT_LE(r.x + r.width, client.width);
            EXPECT_LE(r.y + r.height, client.height);
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                EXPECT_FALSE(overlap(r, placed[j].place)) << "covers control " << placed[j].id;
            }
        }
        for (const int id : {atelierid::QuestionList, atelierid::PicturePreview, atelierid::TryField,
                             atelierid::Warnings, atelierid::CodeLines}) {
            EXPECT_TRUE(ids.contains(id)) << id;
        }
        EXPECT_EQ(ids.contains(editorid::FieldNote), noted != 0) << "a note placed without a field to note";
    }
}

TEST(EditorLayout, ANoteLiesRightUnderItsFieldAcrossItsWidth) {
    for (const double scale : {1.0, 1.5}) for (const int noted : NotedFields) {
        if (noted == 0) continue;
        SCOPED_TRACE("note under " + std::to_string(noted) + " at scale " + std::to_string(scale));
        const Size client{static_cast<int>(EditorStartClient.width * scale), static_cast<int>(EditorStartClient.height * scale)};
        const auto placed = editorLayout(client, scale, noted);
        const Rect field = placeOf(placed, noted);
        const Rect note = placeOf(placed, editorid::FieldNote);
        EXPECT_EQ(note.x, field.x);
        EXPECT_EQ(note.width, field.width);
        EXPECT_GE(note.y, field.y + field.height);
        EXPECT_LE(note.y, field.y + field.height + static_cast<int>(4 * scale));
        EXPECT_GE(note.height, static_cast<int>(28 * scale)) << "two lines of text";
        // The field keeps its size, the code lines excepted: the note takes its room from what stretches.
        if (noted != atelierid::CodeLines) {
            EXPECT_EQ(field.height, placeOf(editorLayout(client, scale), noted).height);
        }
    }
}

TEST(EditorLayout, TheRowsInSightCoverTheQuestionList) {
    struct Case {
        Size client;
        double scale;
    };
    const Case cases[] = {
        {EditorStartClient, 1.0},
        {{EditorStartClient.width * 3 / 2, EditorStartClient.height * 3 / 2}, 1.5},
        {{EditorStartClient.width * 2, EditorStartClient.height * 2}, 2.0},
        {EditorMinimumClient, 1.0},
        {{1920, 1000}, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.client.width) + " x " + std::to_string(c.client.height) + " at scale " +
                     std::to_string(c.scale));
        Rect list{};
        for (const PlacedControl& placed : editorLayout(c.client, c.scale)) {
            if (placed.id == atelierid::QuestionList) list = placed.place;
        }
        const int rows = questionListRowsInSight(c.client, c.scale);
        const int rowHeight = static_cast<int>(ThumbnailHeight * c.scale);
        EXPECT_GE(rows * rowHeight, list.height) << "a row in sight left out";
        EXPECT_LT((rows - 1) * rowHeight, list.height) << "a row out of sight counted";
    }
}

TEST(EditorLayout, ALargerWindowGivesTheRoomToTheListAndTheCodeLines) {
    const auto find = [](const std::vector<PlacedControl>& placed, int id) {
        for (const PlacedControl& p : placed) {
            if (p.id == id) return p.place;
        }
        return Rect{};
    };
    const auto small = editorLayout(EditorMinimumClient, 1.0);
    const Size larger{EditorMinimumClient.width + 300, EditorMinimumClient.height + 240};
    const auto large = editorLayout(larger, 1.0);
    EXPECT_EQ(find(large, atelierid::QuestionList).height - find(small, atelierid::QuestionList).height, 240);
    EXPECT_EQ(find(large, atelierid::CodeLines).height - find(small, atelierid::CodeLines).height, 240);
    EXPECT_EQ(find(large, atelierid::CodeLines).width - find(small, atelierid::CodeLines).width, 300);
    // The picture grows to 4:3 across its column; the fields below it keep their sizes.
    const Rect smallPicture = find(small, atelierid::PicturePreview);
    const Rect largePicture = find(large, atelierid::PicturePreview);
    EXPECT_EQ(largePicture.height, largePicture.width * 3 / 4);
    const Rect smallTry = find(small, atelierid::TryField);
    const Rect largeTry = find(large, atelierid::TryField);
    EXPECT_EQ(largeTry.y - smallTry.y, largePicture.height - smallPicture.height);
    EXPECT_EQ(largeTry.height, smallTry.height);
    EXPECT_GT(find(large, atelierid::Warnings).height, find(small, atelierid::Warnings).height) << "the rest to the warnings";
}

}  // namespace
