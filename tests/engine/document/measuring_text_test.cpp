// The measuring message: number format, the worked 3 x 4 example, the column-mean rule and the
// false-colour variant.
#include "document/measuring_text.h"

#include <gtest/gtest.h>

namespace tarkemo {
namespace {

TEST(MeasuringText, TwoDecimalsRoundHalfAwayAndDropALeadingZero) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{5.0, "5.00"},   {0.5, ".50"},    {0.996, "1.00"},         {0.994, ".99"}, {0.0, ".00"},
                 {2.345, "2.35"}, {1.005, "1.00"}, {12345.678, "12345.68"}, {0.125, ".13"}, {-1.0, ".00"}};
    // 1.005 is stored just below 1.005, so it rounds down; 0.125 is exact and rounds away from zero.
    for (const auto& c : cases) EXPECT_EQ(TwoDecimals(c.value), c.text) << c.value;
}

TEST(MeasuringText, ThreeByFourMarkingOnAGrayImage) {
    GrayBitmap bitmap = *CreateGrayBitmap(6, 6);
    // Column c of the marking (columns 1..3, rows 2..5) holds values c*10 + row.
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 6; ++x) bitmap.At(x, y) = static_cast<uint8_t>(x * 10 + y);
    const std::string text = MeasuringText(bitmap, Marking{1, 5, 3, 2}, true);
    // Column means 13.5, 23.5, 33.5 -> 23.5.
    EXPECT_EQ(text,
              "H\xC3\xB6he:\t4\nBreite:\t3\nFl\xC3\xA4"
              "che:\t12\nDiag.:\t5.00\n\nGrauwerte:\nMinimal:\t12\n"
              "Mittel:\t23.50\nMaximal:\t35");
}

TEST(MeasuringText, MeanIsTheAverageOfColumnMeansAndFalseColoursSkipTheValues) {
    GrayBitmap bitmap = *CreateGrayBitmap(2, 3);
    bitmap.At(0, 0) = 1;
    bitmap.At(0, 1) = 2;
    bitmap.At(0, 2) = 2;
    bitmap.At(1, 0) = 255;
    const std::string gray = MeasuringText(bitmap, WholeImageMarking(2, 3), true);
    EXPECT_NE(gray.find("Minimal:\t0\nMittel:\t43.33\nMaximal:\t255"), std::string::npos) << gray;
    EXPECT_NE(gray.find("Diag.:\t3.61"), std::string::npos);
    const std::string colour = MeasuringText(bitmap, Marking{1, 0, 1, 0}, false);
    EXPECT_EQ(colour,
              "H\xC3\xB6he:\t1\nBreite:\t1\nFl\xC3\xA4"
              "che:\t1\nDiag.:\t1.41\n\nKeine reine Grauwertetabelle!");
}

}  // namespace
}  // namespace tarkemo
