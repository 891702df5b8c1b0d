// A mapping saved by the palette editor and applied with tarkemo-cli's gray-map step gives exactly
// the pixels that "&Anwenden" gives in the editor.
#include <QFile>
#include <QLineEdit>
#include <cstdio>
#include <string>

// GCC 12 reports the scripted prompter's std::optional<QString> copy as maybe-uninitialized when it
// inlines it here (a known false positive of that compiler version).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include "app/palette_editor/palette_editor_support.h"
#pragma GCC diagnostic pop
#include "image/bmp_file.h"

namespace tarkemo::app {
namespace {

using testing::PaletteEditorTest;

int RunCli(const std::string& arguments) {
    const std::string command = "'" TARKEMO_CLI_PATH "' " + arguments + " > /dev/null 2>&1";
    return std::system(command.c_str());
}

TEST_F(PaletteEditorTest, SavedMappingThroughTheCliGivesThePixelsOfAnwenden) {
    const QString input = WriteFile("input.bmp", testing::PatternBitmap(61, 23));
    window_->Dispatch(40167, input);
    const QString palette = folder_.filePath("shape.pal");
    RunEditor(
        [&](PaletteDlg& dialog) {
            Press(dialog, At(0, 30));
            Move(dialog, At(40, 250));
            Move(dialog, At(90, 10));
            Move(dialog, At(255, 200));
            Release(dialog, At(255, 200));
            dialog.ExponentField().setText("1.7");
            Press(dialog, At(30, 0), Qt::ShiftModifier);
            Release(dialog, At(180, 0), Qt::ShiftModifier);
            Click(dialog, "&Potentiell");
            Click(dialog, "&Speichern...");
            Click(dialog, "&Anwenden");
            Click(dialog, "Ab&brechen");
        },
        [&] { prompter_->AnswerFile(palette); });
    const QString output = folder_.filePath("output.bmp");
    ASSERT_EQ(RunCli("apply '" + input.toStdString() + "' '" + output.toStdString() +
                     "' 'gray-map=" + palette.toStdString() + "'"),
              0);
    const std::optional<LoadedBitmap> mapped = ReadBmpFile(output.toStdString());
    ASSERT_TRUE(mapped.has_value());
    const GrayBitmap& applied = Bitmap();
    ASSERT_EQ(mapped->bitmap.width, applied.width);
    ASSERT_EQ(mapped->bitmap.height, applied.height);
    for (int32_t y = 0; y < applied.height; ++y) {
        for (int32_t x = 0; x < applied.width; ++x) {
            ASSERT_EQ(mapped->bitmap.At(x, y), applied.At(x, y)) << x << "," << y;
        }
    }
    EXPECT_TRUE(mapped->grayRamp);
    // The mapping was not the identity: the pixels did change.
    EXPECT_NE(testing::PatternBitmap(61, 23).At(40, 0), applied.At(40, 0));
}

}  // namespace
}  // namespace tarkemo::app
