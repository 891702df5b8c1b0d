// The window dialog's rules: the adjustments on opening, the size lists and what may be confirmed.
#include "document/local_op_settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarkemo {
namespace {

TEST(LocalOpSettings, OpeningAdjustsTheRecordToTheImage) {
    struct Case {
        const char* name;
        LocalOpSettings start;
        LocalOpKind kind;
        int32_t width, height;
        LocalOpSettings expected;
    };
    const std::vector<Case> cases = {
        {"unset record", {}, LocalOpKind::kNormalize, 100, 100, {5, 5, 30, 20}},
        {"unset record, rank lowered", {}, LocalOpKind::kRank, 100, 100, {5, 5, 25, 20}},
        {"window wider than the image", {7, 3, 5, 9}, LocalOpKind::kRank, 6, 50, {1, 3, 3, 9}},
        {"window higher than the image", {3, 9, 40, 9}, LocalOpKind::kNormalize, 50, 8, {3, 1, 40, 9}},
        {"rank kept when it fits", {3, 3, 9, 0}, LocalOpKind::kRank, 50, 50, {3, 3, 9, 0}},
    };
    for (const Case& c : cases) {
        LocalOpSettings settings = c.start;
        AdjustLocalOpSettings(settings, c.kind, c.width, c.height);
        EXPECT_EQ(settings.windowWidth, c.expected.windowWidth) << c.name;
        EXPECT_EQ(settings.windowHeight, c.expected.windowHeight) << c.name;
        EXPECT_EQ(settings.rankOrContrast, c.expected.rankOrContrast) << c.name;
        EXPECT_EQ(settings.compareWith, c.expected.compareWith) << c.name;
    }
}

TEST(LocalOpSettings, ListsHoldTheOddSidesUpToHalfTheImage) {
    EXPECT_EQ(OddWindowSizes(6), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(OddWindowSizes(1), (std::vector<int32_t>{1}));
    EXPECT_EQ(OddWindowSizes(10), (std::vector<int32_t>{1, 3, 5}));
    EXPECT_EQ(WindowListPosition(3, 6), 1);
    EXPECT_EQ(WindowListPosition(5, 6), std::nullopt);
    EXPECT_EQ(WindowListPosition(4, 60), std::nullopt);
}

TEST(LocalOpSettings, OkOnlyForInputTheOperationsAccept) {
    const auto none = std::nullopt;
    EXPECT_TRUE(RankInputValid(3, 3, "5"));
    EXPECT_TRUE(RankInputValid(3, 3, "9"));
    EXPECT_FALSE(RankInputValid(3, 3, "10"));
    EXPECT_FALSE(RankInputValid(3, 3, "0"));
    EXPECT_FALSE(RankInputValid(3, 3, ""));
    EXPECT_FALSE(RankInputValid(1, 1, "1")) << "a 1 x 1 window has no rank to choose";
    EXPECT_FALSE(RankInputValid(none, 3, "1")) << "no width chosen";
    EXPECT_FALSE(RankInputValid(3, 3, "99999999999"));
    EXPECT_TRUE(NormalizeInputValid(1, 1, "1"));
    EXPECT_TRUE(NormalizeInputValid(5, 5, "255"));
    EXPECT_FALSE(NormalizeInputValid(5, 5, "256"));
    EXPECT_FALSE(NormalizeInputValid(5, 5, "0"));
    EXPECT_FALSE(NormalizeInputValid(5, none, "30"));
}

}  // namespace
}  // namespace tarkemo
