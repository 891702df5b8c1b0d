// The mapping operations of the palette editor against the worked numbers: points and drags with
// and without a range (and Ctrl), Normalisieren on 40 ... 200, Potentiell with exponents 1 and 2,
// the exponent field's rule, and the three placements of a loaded table.
#include "document/palette_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarkemo {
namespace {

const ColourRange kNoRange{};

// The entries that differ between two mappings.
std::vector<int> Changed(const GrayLevels& before, const GrayLevels& after) {
    std::vector<int> changed;
    for (int i = 0; i < 256; ++i) {
        if (before[static_cast<size_t>(i)] != after[static_cast<size_t>(i)]) changed.push_back(i);
    }
    return changed;
}

GrayLevels Constant(uint8_t value) {
    GrayLevels levels{};
    levels.fill(value);
    return levels;
}

TEST(PaletteMappingTest, SetPointClampsAndObeysTheRangeAndCtrlRule) {
    const ColourRange range{100, 150};
    const struct {
        const char* what;
        ColourRange range;
        bool outside;
        CurvePoint point;
        bool set;
        int index, value;
    } cases[] = {
        {"no range", kNoRange, false, {20, 30}, true, 20, 30},
        {"no range, Ctrl", kNoRange, true, {20, 30}, true, 20, 30},
        {"clamped below", kNoRange, false, {-19, -5}, true, 0, 0},
        {"clamped above", kNoRange, false, {275, 290}, true, 255, 255},
        {"inside", range, false, {100, 7}, true, 100, 7},
        {"inside, end", range, false, {150, 7}, true, 150, 7},
        {"outside, protected", range, false, {99, 7}, false, 99, 99},
        {"Ctrl outside", range, true, {151, 7}, true, 151, 7},
        {"Ctrl inside, protected", range, true, {120, 7}, false, 120, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GrayLevels mapping = IdentityMapping();
        EXPECT_EQ(SetCurvePoint(mapping, c.range, c.outside, c.point), c.set);
        EXPECT_EQ(mapping[static_cast<size_t>(c.index)], c.value);
        EXPECT_EQ(Changed(IdentityMapping(), mapping).size(), c.set && c.index != c.value ? 1u : 0u);
    }
}

TEST(PaletteMappingTest, DragInterpolatesUpToButNotIncludingTheCurrentOldValue) {
    GrayLevels mapping = Constant(0);
    CurvePoint last{10, 0};
    EXPECT_TRUE(DragCurve(mapping, kNoRange, false, last, CurvePoint{20, 100}));
    for (int a = 10; a < 20; ++a) EXPECT_EQ(mapping[static_cast<size_t>(a)], (a - 10) * 10) << a;
    EXPECT_EQ(mapping[20], 0);
    EXPECT_EQ(last.oldValue, 20);
    EXPECT_EQ(last.newValue, 100);
    // A further event at the same old value sets that point.
    EXPECT_TRUE(DragCurve(mapping, kNoRange, false, last, CurvePoint{20, 100}));
    EXPECT_EQ(mapping[20], 100);
    // Right to left: from 20 down to 18, 18 excluded; integer part of 100 + (19 - 20) * (-1) / (-2) = 99.5.
    EXPECT_TRUE(DragCurve(mapping, kNoRange, false, last, CurvePoint{18, 101}));
    EXPECT_EQ(mapping[19], 100);
    EXPECT_EQ(mapping[18], 80);
}

TEST(PaletteMappingTest, DragAcrossTheWidthChangesOnlyTheRangeOrWithCtrlOnlyOutside) {
    const ColourRange range{100, 150};
    for (const bool ctrl : {false, true}) {
        SCOPED_TRACE(ctrl ? "Ctrl" : "plain");
        GrayLevels mapping = IdentityMapping();
        CurvePoint last{-19, 30};
        SetCurvePoint(mapping, range, ctrl, last);
        DragCurve(mapping, range, ctrl, last, CurvePoint{275, 30});
        DragCurve(mapping, range, ctrl, last, CurvePoint{275, 30});
        for (int v = 0; v < 256; ++v) {
            const bool inside = v >= 100 && v <= 150;
            EXPECT_EQ(mapping[static_cast<size_t>(v)], inside != ctrl ? 30 : v) << v;
        }
    }
}

TEST(PaletteMappingTest, NormaliseStretchesTheOccurringValues) {
    GrayHistogram histogram{};
    for (int v = 40; v <= 200; v += 4) histogram[static_cast<size_t>(v)] = 3.0f;
    GrayLevels mapping = IdentityMapping();
    EXPECT_TRUE(NormaliseMapping(mapping, histogram, kNoRange));
    const struct {
        int v, mapped;
    } expected[] = {{0, 0}, {39, 0}, {40, 0}, {41, 1}, {120, 128}, {199, 254}, {200, 255}, {255, 255}};
    for (const auto& e : expected) EXPECT_EQ(mapping[static_cast<size_t>(e.v)], e.mapped) << e.v;

    // With a range 100 ... 150 the ends move onto occurring values 100 and 148.
    EXPECT_TRUE(NormaliseMapping(mapping, histogram, ColourRange{100, 150}));
    EXPECT_EQ(mapping[100], 0);
    EXPECT_EQ(mapping[124], 24 * 256 / 48);
    EXPECT_EQ(mapping[148], 255);
    EXPECT_EQ(mapping[20], 0);
    // A reversed range is reported and still applied as written.
    EXPECT_FALSE(NormaliseMapping(mapping, histogram, ColourRange{150, 100}));
}

TEST(PaletteMappingTest, NormaliseOnAUniformOrEmptyHistogramAppliesTheRulesInOrder) {
    GrayHistogram uniform{};
    uniform[90] = 255.0f;
    GrayLevels mapping = IdentityMapping();
    NormaliseMapping(mapping, uniform, kNoRange);
    EXPECT_EQ(mapping[90], 0);
    EXPECT_EQ(mapping[89], 0);
    EXPECT_EQ(mapping[91], 255);
    NormaliseMapping(mapping, GrayHistogram{}, kNoRange);  // lo runs to 255, hi to 0
    EXPECT_EQ(mapping[0], 0);
    EXPECT_EQ(mapping[255], 0);
}

TEST(PaletteMappingTest, ExponentFieldRule) {
    const struct {
        std::string text;
        std::optional<float> value;
    } cases[] = {{"1", 1.0f},
                 {"2", 2.0f},
                 {"0.5", 0.5f},
                 {"+1.25", 1.25f},
                 {".5", 0.5f},
                 {"3.", 3.0f},
                 {"2x", {}},
                 {"0", {}},
                 {"-2", {}},
                 {"", {}},
                 {".", {}},
                 {" 2", {}},
                 {"2 ", {}},
                 {"1e3", {}},
                 {"inf", {}},
                 {"nan", {}},
                 {"0x10", {}},
                 {"1,5", {}},
                 {"1e-50", {}},
                 {"0.0", {}},
                 {"1" + std::string(50, '0'), {}},
                 {"0." + std::string(60, '0') + "1", {}}};
    for (const auto& c : cases) EXPECT_EQ(ParseExponent(c.text), c.value) << c.text;
}

TEST(PaletteMappingTest, PowerWithoutRange) {
    GrayLevels mapping = Constant(9);
    EXPECT_TRUE(PowerMapping(mapping, 1.0, kNoRange));
    EXPECT_EQ(mapping, IdentityMapping());
    EXPECT_TRUE(PowerMapping(mapping, 2.0, kNoRange));
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(mapping[static_cast<size_t>(v)], static_cast<int>(v * v * 255.0 / (255.0 * 255.0) + 0.49))
            << v;
    }
    EXPECT_EQ(mapping[128], 64);
    // 255^400 overflows a double: the limit 255 (v/255)^e + 0.49 is used instead.
    EXPECT_TRUE(PowerMapping(mapping, 400.0, kNoRange));
    EXPECT_EQ(mapping[255], 255);
    EXPECT_EQ(mapping[254], 53);  // 255 (254/255)^400 = 53.1
    EXPECT_EQ(mapping[200], 0);
    EXPECT_TRUE(PowerMapping(mapping, 1e-30, kNoRange));
    EXPECT_EQ(mapping[0], 0);
    EXPECT_EQ(mapping[1], 255);
}

TEST(PaletteMappingTest, PowerWithRangeReplacesTheCurveBetweenItsEnds) {
    GrayLevels mapping = IdentityMapping();
    mapping[100] = 200;  // falling from 200 to 150
    EXPECT_TRUE(PowerMapping(mapping, 2.0, ColourRange{100, 150}));
    for (int v = 100; v <= 150; ++v) {
        const double x = v - 100;
        EXPECT_EQ(mapping[static_cast<size_t>(v)], static_cast<int>(x * x * -50.0 / 2500.0 + 200.0 + 0.49))
            << v;
    }
    EXPECT_EQ(mapping[99], 99);
    EXPECT_EQ(mapping[151], 151);
    GrayLevels same = IdentityMapping();
    EXPECT_TRUE(PowerMapping(same, 1e6, ColourRange{10, 20}));  // overflowing width^e
    EXPECT_EQ(same[19], 10);
    EXPECT_EQ(same[20], 20);
}

TEST(PaletteMappingTest, PowerWithARangeNarrowerThanFourValuesDoesNothing) {
    for (const ColourRange range : {ColourRange{10, 10}, ColourRange{10, 12}}) {
        GrayLevels mapping = Constant(3);
        mapping[12] = 90;
        const GrayLevels before = mapping;
        EXPECT_FALSE(PowerMapping(mapping, 2.0, range));
        EXPECT_EQ(mapping, before);
    }
    GrayLevels mapping = IdentityMapping();
    EXPECT_TRUE(PowerMapping(mapping, 3.0, ColourRange{10, 13}));
}

TEST(PaletteMappingTest, LoadedTablePlacements) {
    GrayLevels table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<uint8_t>(255 - i);
    const struct {
        const char* what;
        ColourRange range;
        LoadedTablePlacement placement;
        int position, tableEntry;  // mapping[position] == table[tableEntry]
    } cases[] = {
        {"squeeze 0..127, first", {0, 127}, LoadedTablePlacement::kSqueeze, 0, 0},
        {"squeeze 0..127, second", {0, 127}, LoadedTablePlacement::kSqueeze, 1, 2},
        {"squeeze 0..127, last", {0, 127}, LoadedTablePlacement::kSqueeze, 127, 255},
        {"squeeze 10..10", {10, 10}, LoadedTablePlacement::kSqueeze, 10, 0},
        {"squeeze 100..150", {100, 150}, LoadedTablePlacement::kSqueeze, 101, 5},
        {"move to start", {100, 150}, LoadedTablePlacement::kMoveToStart, 100, 0},
        {"move to start, end", {100, 150}, LoadedTablePlacement::kMoveToStart, 150, 50},
        {"same positions", {100, 150}, LoadedTablePlacement::kSamePositions, 120, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GrayLevels mapping = IdentityMapping();
        InsertLoadedTable(mapping, table, c.range, c.placement);
        EXPECT_EQ(mapping[static_cast<size_t>(c.position)], table[static_cast<size_t>(c.tableEntry)]);
        const std::vector<int> changed = Changed(IdentityMapping(), mapping);
        ASSERT_FALSE(changed.empty());
        EXPECT_GE(changed.front(), c.range.start);
        EXPECT_LE(changed.back(), c.range.end);
    }
    GrayLevels mapping = IdentityMapping();
    InsertLoadedTable(mapping, table, kNoRange, LoadedTablePlacement::kSqueeze);
    EXPECT_EQ(mapping, table);
}

TEST(PaletteMappingTest, RangeOrderingAndPreviewTable) {
    EXPECT_EQ(OrderedRange(ColourRange{150, 100}), (ColourRange{100, 150}));
    EXPECT_EQ(OrderedRange(ColourRange{-1, -1}), ColourRange{});
    EXPECT_FALSE(ColourRange{}.Marked());
    GrayLevels mapping = IdentityMapping();
    mapping[3] = 200;
    const ColourTable table = MappedGrayTable(mapping);
    EXPECT_EQ(table[3], (ColourEntry{200, 200, 200, 0}));
    EXPECT_EQ(table[4], (ColourEntry{4, 4, 4, 0}));
}

}  // namespace
}  // namespace tarkemo
