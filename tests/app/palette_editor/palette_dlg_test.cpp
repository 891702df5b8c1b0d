// The palette editor worked with the mouse and its buttons: clicks and drags on the square, the
// colour range with Shift, Ctrl and the right button, the green gray value, the InfoBox read-out,
// the exponent field, Anwenden with its undo, and Abbrechen leaving the image as it was.
#include "app/palette_editor/palette_dlg.h"

#include "app/dialogs/pen_color_dlg.h"

#include <QAction>
#include <QLineEdit>
#include <algorithm>

#include "app/palette_editor/palette_editor_support.h"
#include "document/palette_mapping.h"

namespace tarkemo::app {
namespace {

using testing::PaletteEditorTest;

const ColourEntry kGreen{0, 255, 0, 0};
const ColourEntry kRed{0, 0, 255, 0};

// The entries of `mapping` that differ from the identity, as (index, value) pairs.
std::vector<std::pair<int, int>> Edits(const GrayLevels& mapping) {
    std::vector<std::pair<int, int>> edits;
    for (int i = 0; i < 256; ++i) {
        if (mapping[static_cast<size_t>(i)] != i) edits.emplace_back(i, mapping[static_cast<size_t>(i)]);
    }
    return edits;
}

std::vector<std::pair<int, int>> EditRun(int from, int to, const std::function<int(int)>& value) {
    std::vector<std::pair<int, int>> run;
    for (int i = from; i <= to; ++i) {
        if (value(i) != i) run.emplace_back(i, value(i));
    }
    return run;
}

TEST_F(PaletteEditorTest, OpensOnTheGrayImageAndAbbrechenLeavesPixelsAndGrayTable) {
    const QString path = OpenPattern(40, 12);
    const std::vector<uint8_t> before = Pixels();
    ASSERT_TRUE(Enabled(40014));
    const int result = RunEditor([&](PaletteDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString("Tarkemo - Palette bearbeiten"));
        EXPECT_EQ(Info().GrayLine(), QString("  (Grauwerte)"));
        EXPECT_EQ(dialog.ExponentField().text(), QString("1"));
        EXPECT_EQ(dialog.State().mapping, IdentityMapping());
        EXPECT_EQ(dialog.State().histogram, ComputeGrayHistogram(Bitmap()));
        EXPECT_EQ(*std::max_element(dialog.State().histogram.begin(), dialog.State().histogram.end()),
                  255.0f);
        EXPECT_EQ(dialog.State().histogram[200], 0.0f);  // (x + 3y) mod 256 stays below 73
        Press(dialog, At(20, 200));
        Release(dialog, At(20, 200));
        // The preview shows the curve through the colour table; the pixels stay.
        EXPECT_EQ(Bitmap().colours[20], (ColourEntry{200, 200, 200, 0}));
        Click(dialog, "Ab&brechen");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(Pixels(), before);
    EXPECT_TRUE(IsIdentityGrayRamp(Bitmap().colours));
    EXPECT_TRUE(window_->Document().grayRamp);
    EXPECT_FALSE(window_->Document().modified);
    EXPECT_EQ(Title(), "Tarkemo - " + path);
    EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig\tStrg+Z"));
}

TEST_F(PaletteEditorTest, ClosingTheWindowAlsoRestoresTheGrayTable) {
    OpenPattern();
    RunEditor([&](PaletteDlg& dialog) {
        Click(dialog, "&Normalisieren");
        EXPECT_FALSE(IsIdentityGrayRamp(Bitmap().colours));
        dialog.show();
        dialog.close();
    });
    EXPECT_TRUE(IsIdentityGrayRamp(Bitmap().colours));
}

struct MouseCase {
    const char* what;
    std::function<void(PaletteDlg&)> events;
    std::vector<std::pair<int, int>> edits;
};

TEST_F(PaletteEditorTest, MouseOnTheSquareSetsPointsAndRuns) {
    using T = PaletteEditorTest;
    const MouseCase cases[] = {
        {"a click sets one entry",
         [](PaletteDlg& d) {
             T::Press(d, At(50, 100));
             T::Release(d, At(50, 100));
         },
         {{50, 100}}},
        {"a drag sets the run up to its last old value",
         [](PaletteDlg& d) {
             T::Press(d, At(10, 0));
             T::Move(d, At(20, 10));
             T::Move(d, At(30, 20));
             T::Release(d, At(30, 20));
         },
         EditRun(10, 29, [](int a) { return a - 10; })},
        {"a second event at the last old value sets it too",
         [](PaletteDlg& d) {
             T::Press(d, At(10, 0));
             T::Move(d, At(30, 20));
             T::Move(d, At(30, 20));
             T::Release(d, At(30, 20));
         },
         EditRun(10, 30, [](int a) { return a - 10; })},
        {"a drag leaving the square by more than 40 pixels ends",
         [](PaletteDlg& d) {
             T::Press(d, At(50, 100));
             T::Move(d, At(50, -40));  // still within 40 pixels: sets 50 to 0 (clamped)
             T::Move(d, At(50, -41));  // beyond: the drag ends
             T::Move(d, At(90, 100));
             T::Release(d, At(90, 100));
         },
         {{50, 0}}},
        {"clicks beside the square are clamped",
         [](PaletteDlg& d) {
             T::Press(d, QPoint(-9, -9));  // old -19, new 274
             T::Release(d, QPoint(-9, -9));
         },
         {{0, 255}}},
        {"clicks far away do nothing",
         [](PaletteDlg& d) {
             T::Press(d, QPoint(5000, -3000));
             T::Move(d, QPoint(-7000, 9000));
             T::Release(d, QPoint(-7000, 9000));
             T::Press(d, QPoint(-10, 100));  // old -20
             T::Release(d, QPoint(-10, 100));
         },
         {}},
    };
    OpenPattern();
    for (const MouseCase& c : cases) {
        SCOPED_TRACE(c.what);
        RunEditor([&](PaletteDlg& dialog) {
            c.events(dialog);
            EXPECT_EQ(Edits(dialog.State().mapping), c.edits);
            EXPECT_FALSE(dialog.State().curveDrag);
        });
    }
}

TEST_F(PaletteEditorTest, ShiftDragMarksARangeThatProtectsTheCurveAndSurvivesReopening) {
    OpenPattern();
    RunEditor([&](PaletteDlg& dialog) {
        Press(dialog, At(100, 5), Qt::ShiftModifier);
        Move(dialog, At(150, 5), Qt::ShiftModifier);
        EXPECT_EQ(Bitmap().colours[100], kGreen);
        EXPECT_EQ(Bitmap().colours[150], kRed);
        Release(dialog, At(150, 5), Qt::ShiftModifier);
        EXPECT_EQ(dialog.State().range, (ColourRange{100, 150}));
        EXPECT_TRUE(IsIdentityGrayRamp(Bitmap().colours));
        EXPECT_EQ(dialog.State().mapping, IdentityMapping());
    });
    // Still marked after closing; a plain drag across the width changes only 100 ... 150.
    RunEditor([&](PaletteDlg& dialog) {
        EXPECT_EQ(dialog.State().range, (ColourRange{100, 150}));
        Press(dialog, At(-19, 30));
        Move(dialog, At(275, 30));
        Move(dialog, At(275, 30));
        Release(dialog, At(275, 30));
        EXPECT_EQ(Edits(dialog.State().mapping), EditRun(100, 150, [](int) { return 30; }));
    });
    // The same drag with Ctrl changes only the entries outside.
    RunEditor([&](PaletteDlg& dialog) {
        Press(dialog, At(-19, 30), Qt::ControlModifier);
        Move(dialog, At(275, 30), Qt::ControlModifier);
        Move(dialog, At(275, 30), Qt::ControlModifier);
        Release(dialog, At(275, 30), Qt::ControlModifier);
        std::vector<std::pair<int, int>> outside = EditRun(0, 99, [](int) { return 30; });
        const auto upper = EditRun(151, 255, [](int) { return 30; });
        outside.insert(outside.end(), upper.begin(), upper.end());
        EXPECT_EQ(Edits(dialog.State().mapping), outside);
        // The right button removes the range.
        Press(dialog, At(120, 120), {}, Qt::RightButton);
        Release(dialog, At(120, 120), {}, Qt::RightButton);
        EXPECT_FALSE(dialog.State().range.Marked());
    });
}

TEST_F(PaletteEditorTest, RangeDragEndsWhenShiftIsLetGoAndIsPutInOrder) {
    OpenPattern();
    RunEditor([&](PaletteDlg& dialog) {
        Press(dialog, At(200, 5), Qt::ShiftModifier);
        Move(dialog, At(60, 5), Qt::ShiftModifier);
        Move(dialog, At(40, 5));  // Shift released: the marking stays 60 ... 200
        EXPECT_FALSE(dialog.State().rangeDrag);
        EXPECT_EQ(dialog.State().range, (ColourRange{60, 200}));
        EXPECT_TRUE(IsIdentityGrayRamp(Bitmap().colours));
        Release(dialog, At(40, 5));
        EXPECT_EQ(dialog.State().mapping, IdentityMapping());
        dialog.Action(40044)->trigger();
        EXPECT_FALSE(dialog.State().range.Marked());
    });
}

// Menu 40032 asks for the two ends in the pen colour dialog, starting from the range (or 0 and 255).
TEST_F(PaletteEditorTest, ManualRangeEntryTakesTheSmallerValueAsStart) {
    OpenPattern();
    const struct {
        ColourRange before;
        QString startShown, endShown, left, right;
        bool ok;
        ColourRange after;
    } cases[] = {
        {{}, "0", "255", "180", "30", true, {30, 180}},
        {{30, 180}, "30", "180", "7", "9", true, {7, 9}},
        {{7, 9}, "7", "9", "1", "2", false, {7, 9}},
        {{}, "0", "255", "12", "12", true, {12, 12}},
    };
    for (const auto& c : cases) {
        window_->Settings().paletteRange = c.before;
        RunEditor(
            [&](PaletteDlg& dialog) {
                dialog.Action(40032)->trigger();
                EXPECT_EQ(dialog.State().range, c.after);
            },
            [&] {
                prompter_->AnswerDialog([&](QDialog& d) {
                    auto& pen = dynamic_cast<PenColorDlg&>(d);
                    EXPECT_EQ(pen.windowTitle(), QString("Tarkemo - Farbauswahl"));
                    EXPECT_EQ(pen.LeftEdit()->text(), c.startShown);
                    EXPECT_EQ(pen.RightEdit()->text(), c.endShown);
                    pen.LeftEdit()->setText(c.left);
                    pen.RightEdit()->setText(c.right);
                    return c.ok ? QDialog::Accepted : QDialog::Rejected;
                });
            });
    }
}

TEST_F(PaletteEditorTest, ShiftShowsTheGrayValueUnderThePointerGreenAndTheReadoutFollows) {
    OpenPattern();
    RunEditor([&](PaletteDlg& dialog) {
        Move(dialog, At(77, 12), Qt::ShiftModifier, Qt::NoButton);
        EXPECT_EQ(Bitmap().colours[77], kGreen);
        EXPECT_EQ(Info().XLine(), QString("ALT:  77"));
        EXPECT_EQ(Info().YLine(), QString("NEU:  12"));
        EXPECT_EQ(Info().GrayLine(), QString("  (Grauwerte)"));
        Move(dialog, At(78, 12), {}, Qt::NoButton);
        EXPECT_TRUE(IsIdentityGrayRamp(Bitmap().colours));
        Move(dialog, At(270, -19), {}, Qt::NoButton);
        EXPECT_EQ(Info().XLine(), QString("ALT:  255"));
        EXPECT_EQ(Info().YLine(), QString("NEU:  0"));
        Move(dialog, At(276, 10), {}, Qt::NoButton);
        EXPECT_EQ(Info().XLine(), QString("ALT: (außerhalb)"));
        EXPECT_EQ(Info().YLine(), QString("NEU: (außerhalb)"));
    });
}

TEST_F(PaletteEditorTest, ExponentFieldEnablesPotentiellAndEnterRunsIt) {
    OpenPattern();
    RunEditor([&](PaletteDlg& dialog) {
        QPushButton* power = dialog.Button("&Potentiell");
        QLineEdit& field = dialog.ExponentField();
        const struct {
            const char* text;
            bool enabled;
        } texts[] = {{"2x", false}, {"0", false}, {"", false}, {"0.5", true}, {"2", true}};
        for (const auto& t : texts) {
            field.setText(t.text);
            EXPECT_EQ(power->isEnabled(), t.enabled) << t.text;
        }
        field.setText("2x");
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(dialog.BeepCount(), 1);
        EXPECT_EQ(dialog.State().mapping, IdentityMapping());
        field.setText("2");
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(dialog.State().mapping[128], 64);
        EXPECT_EQ(Bitmap().colours[128].red, 64);
        EXPECT_FALSE(dialog.State().applied);  // Enter never presses "&Anwenden"
    });
    EXPECT_FALSE(window_->Document().modified);
}

TEST_F(PaletteEditorTest, AnwendenChangesThePixelsStaysOpenAndUndoBringsThemBack) {
    const QString path = OpenPattern(30, 9);
    const GrayBitmap before = Bitmap();
    GrayLevels applied{};
    const int result = RunEditor([&](PaletteDlg& dialog) {
        dialog.ExponentField().setText("2");
        Click(dialog, "&Potentiell");
        applied = dialog.State().mapping;
        Press(dialog, At(10, 5), Qt::ShiftModifier);
        Release(dialog, At(20, 5), Qt::ShiftModifier);
        Click(dialog, "&Anwenden");
        EXPECT_TRUE(dialog.State().applied);
        EXPECT_EQ(dialog.State().mapping, IdentityMapping());
        EXPECT_FALSE(dialog.State().range.Marked());
        EXPECT_EQ(dialog.State().histogram, ComputeGrayHistogram(Bitmap()));
        EXPECT_EQ(dialog.result(), -1) << "the dialog stays open";
        EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig: Palette\tStrg+Z"));
        Click(dialog, "Ab&brechen");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    for (int32_t y = 0; y < before.height; ++y) {
        for (int32_t x = 0; x < before.width; ++x) {
            ASSERT_EQ(Bitmap().At(x, y), applied[before.At(x, y)]) << x << "," << y;
        }
    }
    EXPECT_TRUE(IsIdentityGrayRamp(Bitmap().colours));
    EXPECT_TRUE(window_->Document().modified);
    EXPECT_EQ(Title(), "Tarkemo - " + path + "  (geändert)");
    Trigger(40008);
    EXPECT_TRUE(std::equal(Bitmap().pixels.begin(), Bitmap().pixels.end(), before.pixels.begin()));
    EXPECT_EQ(Bitmap().colours, GrayRampTable());
}

}  // namespace
}  // namespace tarkemo::app
