#include "document/undo_snapshot.h"

#include <gtest/gtest.h>

#include <vector>

#include "generator/particle_image.h"
#include "image/palettes.h"

namespace tarkemo {
namespace {

GrayBitmap Noise(int32_t width, int32_t height, uint64_t seed = 5) {
    return testimages::MakeNoiseImage(width, height, seed);
}

std::vector<uint8_t> Pixels(const GrayBitmap& bitmap) {
    return std::vector<uint8_t>(bitmap.pixels.begin(), bitmap.pixels.end());
}

void Invert(GrayBitmap& bitmap) {
    for (uint8_t& v : bitmap.pixels) v = static_cast<uint8_t>(255 - v);
}

TEST(UndoSnapshotTest, RainbowUndoAndRedoWithMenuTexts) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(5, 3);
    const ColourTable gray = image.colours;
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Regenbogen"));
    ApplyRainbowPalette(image);
    const ColourTable rainbow = image.colours;
    EXPECT_EQ(UndoMenuText(snapshot, &image), "&Rückgängig: Regenbogen\tStrg+Z");

    ASSERT_TRUE(SwapUndo(snapshot, image));
    EXPECT_EQ(image.colours, gray);
    EXPECT_TRUE(IsIdentityGrayRamp(image.colours));
    EXPECT_EQ(UndoMenuText(snapshot, &image), "Wiederhe&rstellen: Regenbogen\tStrg+Z");

    ASSERT_TRUE(SwapUndo(snapshot, image));
    EXPECT_EQ(image.colours, rainbow);
    EXPECT_EQ(UndoMenuText(snapshot, &image), "&Rückgängig: Regenbogen\tStrg+Z");
}

TEST(UndoSnapshotTest, GrayRampUndoBringsTheRainbowBack) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(4, 4);
    ApplyRainbowPalette(image);
    const ColourTable rainbow = image.colours;
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Grauwerte-Palette einsetzen"));
    SetGrayRamp(image);
    ASSERT_TRUE(SwapUndo(snapshot, image));
    EXPECT_EQ(image.colours, rainbow);
    EXPECT_FALSE(IsIdentityGrayRamp(image.colours));
}

TEST(UndoSnapshotTest, EveryBuiltInPaletteIsUndoneExactly) {
    for (const bool startGray : {true, false}) {
        for (const BuiltInPaletteInfo& info : BuiltInPalettes()) {
            UndoSnapshot snapshot;
            GrayBitmap image = Noise(6, 3);  // stride 8: intensity also rewrites the padding
            if (!startGray) ApplyDoubleRainbowPalette(image);
            const GrayBitmap before = image;
            ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, info.undoName));
            ApplyBuiltInPalette(image, info.palette);
            ASSERT_TRUE(SwapUndo(snapshot, image));
            EXPECT_EQ(image.colours, before.colours) << info.undoName;
            EXPECT_EQ(Pixels(image), Pixels(before)) << info.undoName;
            EXPECT_EQ(IsIdentityGrayRamp(image.colours), startGray) << info.undoName;
        }
    }
}

TEST(UndoSnapshotTest, NamesLoseAmpersandsAndDots) {
    struct Case {
        const char* recorded;
        const char* shown;
    };
    const Case cases[] = {
        {"&AND (bitweises UND)...", "&Rückgängig: AND (bitweises UND)\tStrg+Z"},
        {"&NOT (invertieren)", "&Rückgängig: NOT (invertieren)\tStrg+Z"},
        {"Rechteck-Filter (3x3)", "&Rückgängig: Rechteck-Filter (3x3)\tStrg+Z"},
        {"a.b&&c.", "&Rückgängig: abc\tStrg+Z"},
        {"", "&Rückgängig: \tStrg+Z"},
    };
    for (const Case& c : cases) {
        UndoSnapshot snapshot;
        const GrayBitmap image = Noise(3, 2);
        ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, c.recorded));
        EXPECT_EQ(UndoMenuText(snapshot, &image), c.shown);
    }
}

TEST(UndoSnapshotTest, PixelsAreExchangedBothWays) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(7, 5);  // stride 8: the padding travels with the pixels
    const std::vector<uint8_t> before = Pixels(image);
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "NOT (invertieren)"));
    Invert(image);
    const std::vector<uint8_t> after = Pixels(image);
    ASSERT_TRUE(SwapUndo(snapshot, image));
    EXPECT_EQ(Pixels(image), before);
    EXPECT_EQ(snapshot.pixels, after);
    EXPECT_TRUE(snapshot.undone);
    ASSERT_TRUE(SwapUndo(snapshot, image));
    EXPECT_EQ(Pixels(image), after);
    EXPECT_FALSE(snapshot.undone);
}

TEST(UndoSnapshotTest, DifferentSizeMakesTheEntryUnavailableWithoutDiscarding) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(6, 4);
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Zeichnen"));
    const GrayBitmap flipped = Noise(4, 6);  // a rotation changes width, stride and height
    EXPECT_FALSE(SnapshotMatches(snapshot, &flipped));
    EXPECT_EQ(UndoMenuText(snapshot, &flipped), "&Rückgängig\tStrg+Z");
    GrayBitmap other = flipped;
    EXPECT_FALSE(SwapUndo(snapshot, other));
    EXPECT_EQ(Pixels(other), Pixels(flipped));
    EXPECT_TRUE(SnapshotMatches(snapshot, &image));

    // Same stride and height but another width still does not match.
    const GrayBitmap narrower = Noise(5, 4);
    EXPECT_FALSE(SnapshotMatches(snapshot, &narrower));
}

TEST(UndoSnapshotTest, NoBitmapOrNoSnapshotGivesThePlainEntry) {
    UndoSnapshot snapshot;
    const GrayBitmap image = Noise(3, 3);
    EXPECT_EQ(UndoMenuText(snapshot, &image), "&Rückgängig\tStrg+Z");
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Zeichnen"));
    EXPECT_FALSE(SnapshotMatches(snapshot, nullptr));
    EXPECT_EQ(UndoMenuText(snapshot, nullptr), "&Rückgängig\tStrg+Z");
}

TEST(UndoSnapshotTest, DiscardResetsEverything) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(3, 3);
    ApplyRainbowPalette(image);
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Palette"));
    ASSERT_TRUE(SwapUndo(snapshot, image));
    DiscardUndo(snapshot);
    EXPECT_EQ(snapshot.width, 0);
    EXPECT_EQ(snapshot.stride, 0);
    EXPECT_EQ(snapshot.height, 0);
    EXPECT_TRUE(snapshot.pixels.empty());
    EXPECT_FALSE(snapshot.name.has_value());
    EXPECT_FALSE(snapshot.undone);
    EXPECT_TRUE(IsIdentityGrayRamp(snapshot.colours));
    EXPECT_FALSE(SnapshotMatches(snapshot, &image));
}

TEST(UndoSnapshotTest, NewSnapshotReplacesTheOldOneAndClearsUndone) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(4, 2);
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Zeichnen"));
    Invert(image);
    ASSERT_TRUE(SwapUndo(snapshot, image));
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, "Normalisieren"));
    EXPECT_FALSE(snapshot.undone);
    EXPECT_EQ(snapshot.pixels, Pixels(image));
    EXPECT_EQ(UndoMenuText(snapshot, &image), "&Rückgängig: Normalisieren\tStrg+Z");

    const GrayBitmap larger = Noise(9, 9);
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, larger, "Zeichnen"));
    EXPECT_EQ(snapshot.width, 9);
    EXPECT_EQ(snapshot.stride, 12);
    EXPECT_EQ(snapshot.pixels, Pixels(larger));
}

TEST(UndoSnapshotTest, PixelCopyFormTakesPixelsFromTheCopyAndTableFromTheBitmap) {
    UndoSnapshot snapshot;
    GrayBitmap image = Noise(5, 5);
    const std::vector<uint8_t> kept = Pixels(image);
    Invert(image);
    SetColourEntry(image, 3, 0x0000FF);
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, image, kept.data(), "Spektrum bearbeiten"));
    EXPECT_EQ(snapshot.pixels, kept);
    EXPECT_EQ(snapshot.colours, image.colours);
    EXPECT_EQ(UndoMenuText(snapshot, &image), "&Rückgängig: Spektrum bearbeiten\tStrg+Z");
}

TEST(UndoSnapshotTest, AnEmptyBitmapCannotBeRecorded) {
    UndoSnapshot snapshot;
    ASSERT_TRUE(TakeUndoSnapshot(snapshot, Noise(2, 2), "Zeichnen"));
    EXPECT_FALSE(TakeUndoSnapshot(snapshot, GrayBitmap{}, "Zeichnen"));
    EXPECT_TRUE(snapshot.pixels.empty());
    EXPECT_EQ(snapshot.width, 0);
}

}  // namespace
}  // namespace tarkemo
