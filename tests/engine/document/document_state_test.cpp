// The caption text and the document state changes that open, paste and the commands rely on.
#include "document/document_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "document/title_text.h"

namespace tarkemo {
namespace {

struct TitleCase {
    std::optional<std::string_view> path;
    bool modified;
    const char* expected;
};

TEST(TitleText, NamesProductPathAndModifiedMark) {
    const TitleCase cases[] = {
        {std::nullopt, false, "Tarkemo"},
        {std::nullopt, true, "Tarkemo"},
        {"", false, "Tarkemo - Unbenannt"},
        {"", true, "Tarkemo - Unbenannt  (geändert)"},
        {"/daten/bild.bmp", false, "Tarkemo - /daten/bild.bmp"},
        {"/daten/bild.bmp", true, "Tarkemo - /daten/bild.bmp  (geändert)"},
    };
    for (const TitleCase& c : cases) EXPECT_EQ(TitleText(c.path, c.modified), c.expected);
}

TEST(DocumentState, TitleFollowsDocumentPresence) {
    DocumentState document;
    document.path = "a.bmp";
    document.modified = true;
    EXPECT_EQ(DocumentTitle(document), "Tarkemo");
    document.bitmap = CreateGrayBitmap(2, 2);
    EXPECT_EQ(DocumentTitle(document), "Tarkemo - a.bmp  (geändert)");
}

TEST(DocumentState, AdoptingABitmapResetsFlagsUndoAndGeometry) {
    DocumentState document;
    document.bitmap = CreateGrayBitmap(3, 3);
    document.modified = true;
    ASSERT_TRUE(TakeUndoSnapshot(document.undo, *document.bitmap, "Normalisieren"));
    LoadedBitmap loaded{*CreateGrayBitmap(5, 2), false};
    AdoptLoadedBitmap(document, std::move(loaded));
    EXPECT_FALSE(document.modified);
    EXPECT_FALSE(document.grayRamp);
    EXPECT_TRUE(document.undo.pixels.empty());
    EXPECT_EQ(document.geometry.width, 5);
    EXPECT_EQ(document.geometry.stride, 8);
    EXPECT_EQ(document.geometry.pixels, document.bitmap->pixels.data());
    ReleaseBitmap(document);
    EXPECT_FALSE(document.HasDocument());
    EXPECT_EQ(document.geometry.pixels, nullptr);
}

TEST(DocumentState, OnlyTheFirstChangeMarksTheDocument) {
    DocumentState document;
    EXPECT_TRUE(MarkModified(document));
    EXPECT_FALSE(MarkModified(document));
    EXPECT_TRUE(document.modified);
}

TEST(DocumentState, SaveProposesBmpNameOnlyForImports) {
    DocumentState document;
    document.path = "/mess/lauf.1/probe.IMX";
    EXPECT_EQ(ProposedSaveName(document), "/mess/lauf.1/probe.IMX");
    document.importedPath = true;
    EXPECT_EQ(ProposedSaveName(document), "/mess/lauf.1/probe.bmp");
    document.path = "/mess/lauf.1/probe";
    EXPECT_EQ(ProposedSaveName(document), "/mess/lauf.1/probe.bmp");
}

// The steps of the document flows that change, save and exchange the content.
enum class Step { kPixels, kPalette, kSave, kUndo };

struct ContentCase {
    const char* name;
    std::vector<Step> steps;
    bool modifiedAtEnd;
};

// Runs one step as the commands do: snapshot before a change, the modified mark only for pixels
// (palette commands leave it alone), the exchange followed by the check against the saved content.
void RunStep(DocumentState& document, Step step, int counter) {
    GrayBitmap& bitmap = *document.bitmap;
    switch (step) {
        case Step::kPixels:
            ASSERT_TRUE(TakeUndoSnapshot(document.undo, bitmap, "Zeichnen"));
            bitmap.At(1, 1) = static_cast<uint8_t>(counter);
            MarkModified(document);
            break;
        case Step::kPalette:
            ASSERT_TRUE(TakeUndoSnapshot(document.undo, bitmap, "Regenbogen"));
            bitmap.colours[7] = ColourEntry{static_cast<uint8_t>(counter), 0, 0, 0};
            break;
        case Step::kSave:
            MarkSaved(document);
            break;
        case Step::kUndo:
            ASSERT_TRUE(SwapUndo(document.undo, bitmap));
            MarkModifiedUnlessSaved(document);
            break;
    }
}

TEST(DocumentState, ExchangesMarkEveryContentThatDiffersFromTheSavedOne) {
    using enum Step;
    const ContentCase cases[] = {
        {"change, save, undo", {kPixels, kSave, kUndo}, true},
        {"change, save, undo, redo", {kPixels, kSave, kUndo, kUndo}, true},
        {"palette, undo", {kPalette, kUndo}, false},
        {"palette, undo, redo", {kPalette, kUndo, kUndo}, true},
        {"change, undo keeps the mark", {kPixels, kUndo}, true},
        {"palette, save, undo", {kPalette, kSave, kUndo}, true},
        {"change, save, palette, undo", {kPixels, kSave, kPalette, kUndo}, false},
        {"change, save, palette, undo, redo", {kPixels, kSave, kPalette, kUndo, kUndo}, true},
        {"change, save, undo, save, redo", {kPixels, kSave, kUndo, kSave, kUndo}, true},
    };
    for (const ContentCase& c : cases) {
        DocumentState document;
        AdoptLoadedBitmap(document, LoadedBitmap{*CreateGrayBitmap(4, 3), true});
        GrayBitmap saved = *document.bitmap;
        int counter = 10;
        for (const Step step : c.steps) {
            RunStep(document, step, ++counter);
            if (step == kSave) saved = *document.bitmap;
            // The oracle: an exchange never leaves a content unmarked that is not the saved one
            // (palette commands themselves leave the mark alone).
            const GrayBitmap& now = *document.bitmap;
            const bool differs = !std::equal(now.pixels.begin(), now.pixels.end(), saved.pixels.begin()) ||
                                 now.colours != saved.colours;
            if (step == kUndo && differs) {
                EXPECT_TRUE(document.modified) << c.name << ", after step " << counter - 10;
            }
        }
        EXPECT_EQ(document.modified, c.modifiedAtEnd) << c.name;
    }
}

TEST(DocumentState, SizeChangesAndDiscardsGiveTheContentANewIdentity) {
    DocumentState document;
    AdoptLoadedBitmap(document, LoadedBitmap{*CreateGrayBitmap(4, 3), true});
    const uint64_t loaded = document.undo.imageContent;
    EXPECT_EQ(document.savedContent, loaded);
    DiscardUndo(document.undo);
    EXPECT_NE(document.undo.imageContent, loaded);
    const uint64_t discarded = document.undo.imageContent;
    MarkModified(document);
    EXPECT_NE(document.undo.imageContent, discarded);
    // A snapshot that finds no pixels to record is discarded, and the change still follows.
    UndoSnapshot empty;
    const uint64_t before = empty.imageContent;
    EXPECT_FALSE(TakeUndoSnapshot(empty, GrayBitmap{}, "Zeichnen"));
    EXPECT_NE(empty.imageContent, before);
    EXPECT_EQ(empty.recordedContent, 0u);
}

}  // namespace
}  // namespace tarkemo
