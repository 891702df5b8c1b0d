// The checks of the size dialog: what may be confirmed in resize and spectrum mode, the size lists,
// the raise to powers of two, the settings the fields give and where the old image lands.
#include "document/size_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarkemo {
namespace {

SizeDialogFields Fields(const char* width, const char* height) {
    return SizeDialogFields{width, height, "0", "0", true, true, false, -1, false, "0"};
}

SizeDialogFields Uncentred(const char* width, const char* height, const char* x, const char* y) {
    return SizeDialogFields{width, height, x, y, false, false, false, -1, false, "0"};
}

// A 128 x 64 centred size with the given fill.
SizeDialogFields Fill(bool algorithm, int position, bool meanGray, const char* gray) {
    return SizeDialogFields{"128", "64", "0", "0", true, true, algorithm, position, meanGray, gray};
}

struct ValidityCase {
    const char* name;
    SizeDialogFields fields;
    bool resizeMode;  // resize of a 100 x 50 image, or spectrum mode
    bool valid;
};

TEST(SizeDialog, ConfirmsExactlyTheInputTheOperationsAccept) {
    const SizeDialogFields algorithmWithoutEntry = Fill(true, -1, false, "0");
    const SizeDialogFields algorithm = Fill(true, 3, false, "0");
    const SizeDialogFields gray256 = Fill(false, 0, false, "256");
    const SizeDialogFields mean256 = Fill(false, 0, true, "256");
    const SizeDialogFields unreadableGray = Fill(false, 0, false, "x");
    const SizeDialogFields emptyOffsets = Uncentred("128", "64", "", "");
    const SizeDialogFields bigCentredOffset{"128", "64", "999", "0", true, true, false, -1, false, "0"};
    const std::string longWidth(99, '1');
    const std::vector<ValidityCase> cases = {
        {"same size", Fields("100", "50"), true, true},
        {"larger, centred", Fields("128", "64"), true, true},
        {"narrower than the image", Fields("99", "50"), true, false},
        {"lower than the image", Fields("100", "49"), true, false},
        {"offset fills the growth", Uncentred("128", "64", "28", "14"), true, true},
        {"offset beyond the growth", Uncentred("128", "64", "29", "0"), true, false},
        {"y offset beyond the growth", Uncentred("128", "64", "0", "15"), true, false},
        {"centred ignores the offset", bigCentredOffset, true, true},
        {"empty offsets count as 0", emptyOffsets, true, true},
        {"letters in the width", Fields("12a", "64"), true, false},
        {"empty width", Fields("", "64"), true, false},
        {"below 4", Fields("3", "64"), false, false},
        {"99 digits", Fields(longWidth.c_str(), "64"), false, false},
        {"beyond 32 bits", Fields("4294967296", "64"), false, false},
        {"larger than a bitmap may be", Fields("65536", "65536"), true, false},
        {"spectrum, any size from 4", Fields("100", "4"), false, true},
        {"spectrum, offset up to the width", Uncentred("100", "64", "100", "64"), false, true},
        {"spectrum, offset beyond the width", Uncentred("100", "64", "101", "0"), false, false},
        {"spectrum side above 2^30", Fields("1073741825", "64"), false, false},
        {"algorithm without an entry", algorithmWithoutEntry, true, false},
        {"algorithm with an entry", algorithm, true, true},
        {"gray value 256", gray256, true, false},
        {"mean gray ignores the gray field", mean256, true, true},
        {"unreadable gray counts as 0", unreadableGray, true, true},
    };
    for (const ValidityCase& c : cases) {
        const std::optional<ImageExtent> image =
            c.resizeMode ? std::optional<ImageExtent>(ImageExtent{100, 50}) : std::nullopt;
        EXPECT_EQ(SizeFieldsValid(c.fields, image), c.valid) << c.name;
    }
}

TEST(SizeDialog, ListsHoldTheSideAndTheLargerPowersOfTwo) {
    EXPECT_EQ(SizeListEntries(100),
              (std::vector<int32_t>{100, 128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768}));
    EXPECT_EQ(SizeListEntries(32768), (std::vector<int32_t>{32768, 32768}));
    EXPECT_EQ(SizeListEntries(40000), (std::vector<int32_t>{40000}));
    const std::vector<int32_t> spectrum = SizeListEntries(std::nullopt);
    ASSERT_EQ(spectrum.size(), 12u);
    EXPECT_EQ(spectrum.front(), 16);
    EXPECT_EQ(spectrum.back(), 32768);
}

TEST(SizeDialog, RaisesToTheNextPowerOfTwo) {
    const std::vector<std::pair<int64_t, int64_t>> cases = {{100, 128},
                                                            {1024, 1024},
                                                            {1025, 2048},
                                                            {4, 4},
                                                            {5, 8},
                                                            {1, 1},
                                                            {(int64_t{1} << 30) - 1, int64_t{1} << 30}};
    for (const auto& [value, raised] : cases) EXPECT_EQ(RaiseToPowerOfTwo(value), raised) << value;
}

TEST(SizeDialog, FieldsGiveTheSettings) {
    const SizeSettings settings =
        SettingsFromFields(SizeDialogFields{"128", "64", "3", "", false, false, false, -1, false, "17"});
    EXPECT_EQ(settings.width, 128);
    EXPECT_EQ(settings.height, 64);
    EXPECT_EQ(settings.offsetX, 3);
    EXPECT_EQ(settings.offsetY, 0);
    EXPECT_FALSE(settings.centreX);
    EXPECT_EQ(settings.fillRule, 17);
    EXPECT_EQ(SettingsFromFields(Fill(false, 0, true, "17")).fillRule, 256);
    for (int position = 0; position < 4; ++position)
        EXPECT_EQ(SettingsFromFields(Fill(true, position, true, "17")).fillRule, -(position + 1));
    EXPECT_EQ(DialogFillRule(-5), 0);
    EXPECT_EQ(DialogFillRule(257), 0);
    EXPECT_EQ(DialogFillRule(-4), -4);
    EXPECT_EQ(DialogFillRule(256), 256);
}

TEST(SizeDialog, CentredOffsetsAreTruncatedHalves) {
    SizeSettings settings{128, 64, 5, 6, true, true, 0};
    const ImageExtent centred = ResizeOffsets(settings, ImageExtent{100, 50});
    EXPECT_EQ(centred.width, 14);
    EXPECT_EQ(centred.height, 7);
    settings.centreX = false;
    const ImageExtent stored = ResizeOffsets(settings, ImageExtent{100, 50});
    EXPECT_EQ(stored.width, 5);
    EXPECT_EQ(stored.height, 7);
    EXPECT_EQ(ResizeOffsets(SizeSettings{101, 51, 0, 0, true, true, 0}, ImageExtent{100, 50}).width, 0);
}

}  // namespace
}  // namespace tarkemo
