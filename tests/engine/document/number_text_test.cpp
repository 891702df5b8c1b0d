// Real numbers in the dialogs: which texts read as numbers, and how numbers are shown.
#include "document/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>

namespace tarkemo {
namespace {

struct FormatCase {
    double value;
    const char* shown;
};

TEST(NumberTextTest, ShowsSevenSignificantDigitsPlainOrWithThreeExponentDigits) {
    const FormatCase cases[] = {
        {0, "0."},
        {1, "1."},
        {0.1, "0.1"},
        {0.1f, "0.1"},
        {-0.5, "-0.5"},
        {3.14159265, "3.141593"},
        {1234567, "1234567."},
        {9999999.4, "9999999."},
        {9999999.6, "1.e+007"},  // rounds up to the next power of ten
        {12345678, "1.234568e+007"},
        {0.09999999, "9.999999e-002"},
        {0.00002, "2.e-005"},
        {-2.5e-10, "-2.5e-010"},
        {1e30, "1.e+030"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(FormatSevenDigits(c.value), c.shown) << c.value;
}

struct ParseCase {
    const char* text;
    std::optional<double> value;
};

TEST(NumberTextTest, ReadsOnlyWholePlainDecimalTextsThatStayFiniteAsFloat) {
    const ParseCase cases[] = {
        {"1.", 1.0},    {"0.1", 0.1},    {"2.e-005", 2e-5}, {"-3", -3.0},   {"+4.5", 4.5}, {".5", 0.5},
        {"1E2", 100.0}, {"1e-400", 0.0}, {"", {}},          {"-", {}},      {".", {}},     {"1e", {}},
        {"e5", {}},     {"1.2.3", {}},   {" 1", {}},        {"1 ", {}},     {"inf", {}},   {"nan", {}},
        {"0x10", {}},   {"1,5", {}},     {"1e39", {}},      {"3.5e38", {}}, {"--1", {}},
    };
    for (const ParseCase& c : cases) {
        const std::optional<double> read = ParseRealText(c.text);
        ASSERT_EQ(read.has_value(), c.value.has_value()) << c.text;
        if (read) {
            EXPECT_DOUBLE_EQ(*read, *c.value) << c.text;
        }
    }
}

TEST(NumberTextTest, EveryShownNumberReadsBackAndTheLocaleDoesNotMatter) {
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // where installed: "," would be its decimal point
    for (double v : {0.1, 1.0, 2e-5, 12345678.0, -7.25, 1e30, 3.4e38}) {
        const std::optional<double> back = ParseRealText(FormatSevenDigits(v));
        ASSERT_TRUE(back) << v;
        EXPECT_NEAR(*back, v, std::abs(v) * 1e-6) << v;
    }
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace tarkemo
