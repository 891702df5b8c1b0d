// The caption text and the document state changes that open, paste and the commands rely on.
#include "document/document_state.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarkemo
