// The palette commands through the main window: every built-in palette shows at once, is undone
// back to the previous table with grayRamp recomputed, and never marks the document modified; RGB
// palette files load and export through the dialogs with their remembered name and their failures.
#include "app/commands/palette_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>

#include "app/shell/command_flow.h"
#include "app/support/app_fixture.h"
#include "image/palette_files.h"
#include "image/palettes.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;
using Kind = testing::ScriptedPrompter::Asked::Kind;

struct PaletteCase {
    int id;
    const char* undoName;
    bool grayRampAfter;
    int index;  // an entry the palette sets ...
    ColourEntry entry;
    bool rewritesPixels = false;  // marks the document modified
};

ColourEntry Bgr(int blue, int green, int red) {
    return ColourEntry{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 0};
}

// Applied to an image that shows the double rainbow, so that every command changes the table.
const PaletteCase kPalettes[] = {
    {40105, "Grauwerte-Palette einsetzen", true, 128, Bgr(128, 128, 128)},
    {40104, "Obersten Palettenwert rot markieren", false, 255, Bgr(0, 0, 255)},
    {40151, "Höhenlinien", false, 235, Bgr(0, 255, 0)},
    {40108, "Regenbogen", false, 64, Bgr(255, 0, 0)},
    {40149, "Doppelter Regenbogen", false, 159, Bgr(248, 0, 7)},
    // Last, because it leaves the document modified.
    {40110, "Grauwerte aus Intensität berechnen", true, 128, Bgr(128, 128, 128), true},
};

class PaletteTest : public AppTest {
  protected:
    const GrayBitmap& Bitmap() const { return *window_->Document().Bitmap(); }
    std::vector<uint8_t> Pixels() const { return {Bitmap().pixels.begin(), Bitmap().pixels.end()}; }
    QString UndoText() const { return window_->Action(40008)->text(); }
    // The state every palette command leaves the document in, apart from the table itself.
    void ExpectUnmarked(const QString& path) {
        EXPECT_FALSE(window_->Document().modified);
        EXPECT_EQ(Title(), "Tarkemo - " + path);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    QString WriteText(const QString& name, const std::string& text) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }
};

TEST_F(PaletteTest, EachBuiltInPaletteShowsAtOnceAndUndoBringsThePreviousBack) {
    for (const PaletteCase& c : kPalettes) {
        SCOPED_TRACE(c.undoName);
        const QString path = OpenPattern(40, 10);
        window_->Dispatch(40149);
        const ColourTable before = Bitmap().colours;
        const std::vector<uint8_t> pixelsBefore = Pixels();
        ASSERT_TRUE(Enabled(c.id));
        Trigger(c.id);
        EXPECT_EQ(Bitmap().colours[static_cast<size_t>(c.index)], c.entry);
        EXPECT_EQ(window_->Document().grayRamp, c.grayRampAfter);
        EXPECT_EQ(IsIdentityGrayRamp(Bitmap().colours), c.grayRampAfter);
        EXPECT_EQ(UndoText(), QString("&Rückgängig: ") + c.undoName + "\tStrg+Z");
        if (c.rewritesPixels) {
            EXPECT_TRUE(window_->Document().modified);
            continue;
        }
        ExpectUnmarked(path);
        // The palette editor needs the gray ramp, the gray commands need false colours.
        EXPECT_EQ(Enabled(40014), c.grayRampAfter);
        EXPECT_EQ(Enabled(40105), !c.grayRampAfter);

        Trigger(40008);
        EXPECT_EQ(Bitmap().colours, before);
        EXPECT_EQ(Pixels(), pixelsBefore);
        EXPECT_FALSE(window_->Document().grayRamp);
        EXPECT_EQ(UndoText(), QString("Wiederhe&rstellen: ") + c.undoName + "\tStrg+Z");
        // The double rainbow is not what the file holds, so the undone state is marked.
        EXPECT_TRUE(window_->Document().modified);
        EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
    }
}

TEST_F(PaletteTest, UndoOfAFalseColourPaletteRestoresTheGrayRampFlag) {
    OpenPattern();
    ASSERT_TRUE(window_->Document().grayRamp);
    Trigger(40108);
    EXPECT_EQ(Bitmap().colours, RainbowTable());
    EXPECT_FALSE(window_->Document().grayRamp);
    Trigger(40008);
    EXPECT_EQ(Bitmap().colours, GrayRampTable());
    EXPECT_TRUE(window_->Document().grayRamp);
    Trigger(40008);  // and back again
    EXPECT_EQ(Bitmap().colours, RainbowTable());
    EXPECT_FALSE(window_->Document().grayRamp);
}

TEST_F(PaletteTest, IntensityRewritesThePixelsAndMarksTheDocumentModified) {
    const QString path = OpenPattern(64, 2);  // pixel (x, 0) = x, pixel (x, 1) = x + 3
    Trigger(40108);
    Trigger(40110);
    EXPECT_EQ(Bitmap().At(0, 0), 0);
    EXPECT_EQ(Bitmap().At(61, 1), 85);  // value 64: entry (255, 0, 0)
    EXPECT_EQ(Bitmap().colours, GrayRampTable());
    EXPECT_TRUE(window_->Document().grayRamp);
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
    Trigger(40008);
    EXPECT_EQ(Bitmap().At(61, 1), 64);
    EXPECT_EQ(Bitmap().colours, RainbowTable());
}

TEST_F(PaletteTest, GrayCommandsAreDisabledOnTheGrayRampAndNothingRunsWithoutADocument) {
    for (const PaletteCase& c : kPalettes) window_->Dispatch(c.id);
    EXPECT_FALSE(window_->Document().HasDocument());
    for (int id : {40104, 40151, 40108, 40149, 40109, 40158}) EXPECT_FALSE(Enabled(id)) << id;
    OpenPattern();
    EXPECT_FALSE(Enabled(40105));
    EXPECT_FALSE(Enabled(40110));
    const std::vector<uint8_t> pixels = Pixels();
    Trigger(40110);  // disabled: nothing happens
    EXPECT_EQ(Pixels(), pixels);
    EXPECT_FALSE(Enabled(40008));
}

ColourTable SampleTable() {
    ColourTable table = RainbowTable();
    table[0] = Bgr(30, 20, 10);
    table[255] = Bgr(1, 2, 3);
    return table;
}

TEST_F(PaletteTest, LoadingAnRgbPaletteAppliesItAndRemembersTheName) {
    const QString path = OpenPattern();
    const QString file = WriteText("farben.rgb", EncodeRgbPalette(SampleTable()));
    prompter_->AnswerFile(file);
    Trigger(40109);
    ASSERT_EQ(prompter_->AskedSoFar().size(), 1u);
    const FileRequest& asked = prompter_->AskedSoFar()[0].file;
    EXPECT_EQ(asked.mode, FileRequest::Mode::kOpen);
    EXPECT_TRUE(asked.proposedName.isEmpty());
    ASSERT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].text, QString("RGB-Palette (*.RGB)"));
    EXPECT_EQ(asked.filters[0].patterns, QString("*.rgb"));
    EXPECT_EQ(asked.filters[1].patterns, QString("*.*"));
    EXPECT_EQ(Bitmap().colours, SampleTable());
    EXPECT_FALSE(window_->Document().grayRamp);
    EXPECT_EQ(UndoText(), QString("&Rückgängig: Falschfarb-Palette einladen\tStrg+Z"));
    ExpectUnmarked(path);

    // The export proposes the name chosen last and writes the table as the loader reads it.
    const QString exported = folder_.filePath("export.rgb");
    prompter_->AnswerFile(exported);
    Trigger(40158);
    const FileRequest& save = prompter_->AskedSoFar().back().file;
    EXPECT_EQ(save.mode, FileRequest::Mode::kSave);
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_EQ(save.proposedName, file);
    EXPECT_EQ(save.filters[0].text, QString("RGB-Palette (*.RGB)"));
    EXPECT_EQ(save.defaultSuffix, QString("rgb"));
    ColourTable reread{};
    EXPECT_TRUE(ReadRgbPaletteFile(exported.toStdString(), reread));
    EXPECT_EQ(reread, SampleTable());

    prompter_->AnswerFile(std::nullopt);
    Trigger(40109);
    EXPECT_EQ(prompter_->AskedSoFar().back().file.proposedName, exported);
}

TEST_F(PaletteTest, AGrayRampFileStillCountsAsFalseColoursUntilUndone) {
    OpenPattern();
    prompter_->AnswerFile(WriteText("grau.rgb", EncodeRgbPalette(GrayRampTable())));
    Trigger(40109);
    EXPECT_FALSE(window_->Document().grayRamp);
    EXPECT_TRUE(Enabled(40105));
    Trigger(40008);
    EXPECT_TRUE(window_->Document().grayRamp);
}

TEST_F(PaletteTest, BrokenPaletteFilesAreRefusedAndTheImageKeepsItsTable) {
    const std::string good = EncodeRgbPalette(SampleTable());
    const std::pair<const char*, std::string> broken[] = {
        {"fehlt.rgb", ""},
        {"ohne_kennung.rgb", good.substr(1)},
        {"zu_kurz.rgb", good.substr(0, good.rfind("\r\n", good.size() - 3))},
        {"zu_gross.rgb",
         std::string("Tarkemo - RGB-Palette:\r\n256\t0\t0\r\n") + good.substr(good.find("\r\n") + 2)},
    };
    const QString path = OpenPattern();
    Trigger(40108);
    for (const auto& [name, text] : broken) {
        SCOPED_TRACE(name);
        const QString file = text.empty() ? folder_.filePath(name) : WriteText(name, text);
        prompter_->AnswerFile(file);
        Trigger(40109);
        const MessageRequest message = prompter_->LastMessage();
        EXPECT_EQ(message.text, QString("RGB-Palette einladen fehlgeschlagen! Falsches Dateiformat?"));
        EXPECT_EQ(message.caption, QString("Fehler beim Einladen der RGB-Palette"));
        EXPECT_EQ(message.icon, MessageIcon::kExclamation);
        EXPECT_EQ(Bitmap().colours, RainbowTable());
        EXPECT_EQ(UndoText(), QString("&Rückgängig: Regenbogen\tStrg+Z"));  // no snapshot taken
        ExpectUnmarked(path);
    }
}

TEST_F(PaletteTest, FailedOrCancelledExportWritesNothing) {
    OpenPattern();
    prompter_->AnswerFile(std::nullopt);
    Trigger(40158);
    EXPECT_EQ(prompter_->AskedSoFar().size(), 1u);

    const QString unwritable = folder_.filePath("fehlt/palette.rgb");
    prompter_->AnswerFile(unwritable);
    Trigger(40158);
    const MessageRequest message = prompter_->LastMessage();
    EXPECT_EQ(message.text, QString("Exportieren der RGB-Palette fehlgeschlagen! Falsches Dateiformat?"));
    EXPECT_EQ(message.caption, QString("Fehler beim Exportieren der RGB-Palette"));
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tarkemo::app
