// The spectrum editor's read-out lines and its typed, centred marking.
#include "spectrum/editor_marking.h"

#include <gtest/gtest.h>

namespace tarkemo {
namespace {

TEST(EditorMarkingTest, ReadOutShowsFrequenciesRelativeToTheGridMiddle) {
    GrayBitmap grid = *CreateGrayBitmap(16, 8);
    grid.At(3, 6) = 77;
    ViewState view;
    view.clientWidth = 16;
    view.clientHeight = 8;
    ResetViewForImage(view, 16, 8);  // 1:1, the grid's top-left corner at window (0, 0)
    const ReadoutLines on = SpectrumPointerReadout(view, &grid, 3, 1);  // row 8 - 1 - 1 = 6
    EXPECT_EQ(on, (ReadoutLines{"Kx:  -5/8", "Ky:  2/4", "Grauwert:  77"}));
    const ReadoutLines off = SpectrumPointerReadout(view, &grid, 40, 1);
    EXPECT_EQ(off, (ReadoutLines{"Kx: (au\xC3\x9F"
                                 "erhalb)",
                                 "Ky: (au\xC3\x9F"
                                 "erhalb)",
                                 "Grauwert: ---"}));
    EXPECT_EQ(SpectrumPointerReadout(view, nullptr, 3, 1), off);

    // Centre column (2 + 6) / 2 = 4, i.e. Kx -4, width 5; centre row (1 + 2) / 2 = 1, i.e. Ky -3.
    EXPECT_EQ(SpectrumMovingReadout(Marking{6, 1, 2, 2}, 16, 8),
              (ReadoutLines{"Kx:  -4 (5)", "Ky:  -3 (2)", "  (Markierung)"}));
}

struct CentredCase {
    ManualFields fields;  // Kx, Ky, a, b
    bool valid;
    Marking marking;
};

TEST(EditorMarkingTest, TypedMarkingIsCentredOnItsFrequencyAndStaysInTheGrid) {
    const Marking whole{0, 1023, 1023, 0};
    const CentredCase cases[] = {
        {{"0", "0", "5", "5"}, true, Marking{507, 517, 517, 507}},
        {{"-3", "2", "0", "1"}, true, Marking{509, 515, 509, 513}},
        {{"0", "0", "512", "0"}, true, Marking{0, 512, 1023, 512}},  // a = W/2 covers every column
        {{"0", "0", "0", "512"}, true, Marking{512, 1023, 512, 0}},
        {{"", "", "", ""}, true, Marking{512, 512, 512, 512}},
        {{"600", "0", "0", "0"}, false, whole},
        {{"0", "0", "513", "0"}, false, whole},
        {{"-", "0", "1", "1"}, false, whole},
        {{"0", "0", "-1", "1"}, false, whole},
        {{"--1", "0", "1", "1"}, false, whole},
    };
    for (const CentredCase& c : cases) {
        const ManualMarking got = CentredManualMarking(c.fields, 1024, 1024);
        const std::string name = c.fields.x + "," + c.fields.y + "," + c.fields.width + "," + c.fields.height;
        EXPECT_EQ(got.valid, c.valid) << name;
        EXPECT_EQ(got.marking, c.marking) << name;
    }
}

}  // namespace
}  // namespace tarkemo
