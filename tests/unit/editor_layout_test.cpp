// The editor's layout: every control inside the window, none over another,
// at the smallest size and on screens of 120 to 192 dots per inch.

#include "editor/editor_layout.h"

#include <gtest/gtest.h>

#include <set>

#include "resources/contract_ids.h"

namespace {

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(EditorLayout, EveryControlFitsAndNoneCoversAnother) {
    for (const double scale : {1.0, 1.25, 1.5, 2.0}) {
        const Size client{static_cast<int>(EditorMinimumClient.width * scale),
                          static_cast<int>(EditorMinimumClient.height * scale)};
        const std::vector<PlacedControl> placed = editorLayout(client, scale);
        std::set<int> ids;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const Rect& r = placed[i].place;
            SCOPED_TRACE("control " + std::to_string(placed[i].id) + " at scale " + std::to_string(scale));
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
    EXPECT_EQ(find(large, atelierid::TryField), find(small, atelierid::TryField)) << "the question's fields stay put";
}

}  // namespace
