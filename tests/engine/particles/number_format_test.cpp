// The real numbers of the exported table, before and after the line is finished.
#include <gtest/gtest.h>

#include "particles/number_format.h"

namespace tarkemo {
namespace {

TEST(FormatTableReal, TenSignificantDigitsPlainOrWithAThreeDigitExponent) {
    struct Case {
        double value;
        const char* raw;
        const char* finished;
        const char* german;
    };
    const Case cases[] = {
        {12, "12.", "12", "12"},
        {3.25, "3.25", "3.25", "3,25"},
        {3.5, "3.5", "3.5", "3,5"},
        {0.05, "5.e-002", "5e-002", "5e-002"},
        {0.0390625, "3.90625e-002", "3.90625e-002", "3,90625e-002"},
        {0, "0.", "0", "0"},
        {0.1, "0.1", "0.1", "0,1"},
        {0.5, "0.5", "0.5", "0,5"},
        {2.0 / 3, "0.6666666667", "0.6666666667", "0,6666666667"},
        {100.0 / 3, "33.33333333", "33.33333333", "33,33333333"},
        {123.456789012345, "123.456789", "123.456789", "123,456789"},
        {1234567890, "1234567890.", "1234567890", "1234567890"},
        {12345678901.0, "1.23456789e+010", "1.23456789e+010", "1,23456789e+010"},
        {9999999999.7, "1.e+010", "1e+010", "1e+010"},
        {0.099999999996, "0.1", "0.1", "0,1"},
        {0.0999999999, "9.99999999e-002", "9.99999999e-002", "9,99999999e-002"},
        {1.5e-5, "1.5e-005", "1.5e-005", "1,5e-005"},
        {1e-300, "1.e-300", "1e-300", "1e-300"},
        {-2.5, "-2.5", "-2.5", "-2,5"},
        {4095.999999999, "4096.", "4096", "4096"},
    };
    for (const Case& test : cases) {
        const std::string raw = FormatTableReal(test.value);
        EXPECT_EQ(raw, test.raw) << test.value;
        std::string line = raw, german = raw;
        FinishTableLine(line, false);
        FinishTableLine(german, true);
        EXPECT_EQ(line, test.finished) << test.value;
        EXPECT_EQ(german, test.german) << test.value;
    }
}

TEST(FinishTableLine, WorksOnTheWholeLine) {
    std::string line = "12.\t2.25\t1\t200\t5.e-002\r\n";
    std::string german = line;
    FinishTableLine(line, false);
    FinishTableLine(german, true);
    EXPECT_EQ(line, "12\t2.25\t1\t200\t5e-002\r\n");
    EXPECT_EQ(german, "12\t2,25\t1\t200\t5e-002\r\n");
}

}  // namespace
}  // namespace tarkemo
