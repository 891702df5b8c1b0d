// The manual marking dialog's rules: digit fields, the start values and the validity of a marking.
#include "document/manual_marking.h"

#include <gtest/gtest.h>

#include <string>

namespace tarkemo {
namespace {

TEST(ManualMarking, DigitFields) {
    const struct {
        std::string text;
        std::optional<int64_t> value;
    } cases[] = {{"", 0},
                 {"0", 0},
                 {"42", 42},
                 {"007", 7},
                 {"4294967295", 4294967295LL},
                 {"4294967296", std::nullopt},
                 {"-1", std::nullopt},
                 {"1a", std::nullopt},
                 {" 1", std::nullopt},
                 {"1.5", std::nullopt},
                 {std::string(78, '0'), 0},
                 {std::string(79, '0'), std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(ReadDigitField(c.text), c.value) << c.text;
}

TEST(ManualMarking, StartFieldsShowTheLastEntry) {
    EXPECT_EQ(ManualFieldsFor(Marking{}), (ManualFields{"0", "0", "1", "1"}));
    EXPECT_EQ(ManualFieldsFor(Marking{3, 9, 7, 4}), (ManualFields{"3", "4", "5", "6"}));
}

TEST(ManualMarking, ValidOnlyInsideTheImageWithAnExtent) {
    const Marking whole = WholeImageMarking(20, 10);
    const struct {
        ManualFields fields;
        bool valid;
        Marking marking;
    } cases[] = {
        {{"0", "0", "1", "1"}, true, {0, 0, 0, 0}},
        {{"2", "3", "5", "4"}, true, {2, 6, 6, 3}},
        {{"", "", "20", "10"}, true, whole},
        {{"0", "0", "0", "1"}, false, whole},   // Breite 0
        {{"0", "0", "1", "0"}, false, whole},   // Höhe 0
        {{"0", "0", "", "1"}, false, whole},    // empty Breite reads 0
        {{"1", "0", "20", "1"}, false, whole},  // X + Breite = width + 1
        {{"0", "1", "1", "10"}, false, whole},  // Y + Höhe = height + 1
        {{"19", "9", "1", "1"}, true, {19, 9, 19, 9}},
        {{"x", "0", "1", "1"}, false, whole},
        {{"0", "0", "+1", "1"}, false, whole},
        {{"4294967295", "0", "4294967295", "1"}, false, whole},  // the sum needs 64 bits
    };
    for (const auto& c : cases) {
        const ManualMarking result = ManualMarkingFromFields(c.fields, 20, 10);
        EXPECT_EQ(result.valid, c.valid) << c.fields.x << " " << c.fields.y << " " << c.fields.width;
        EXPECT_EQ(result.marking, c.marking) << c.fields.x << " " << c.fields.y << " " << c.fields.width;
    }
}

}  // namespace
}  // namespace tarkemo
