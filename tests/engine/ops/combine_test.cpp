#include "ops/combine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ops/cpu_features.h"

namespace tarkemo {
namespace {

// Current image p = x and other image q = y over 256 x 256 pixels: every pair of values once.
struct Pairs {
    GrayBitmap current = *CreateGrayBitmap(256, 256);
    GrayBitmap other = *CreateGrayBitmap(256, 256);
    Pairs() {
        for (int32_t y = 0; y < 256; ++y) {
            for (int32_t x = 0; x < 256; ++x) {
                current.At(x, y) = static_cast<uint8_t>(x);
                other.At(x, y) = static_cast<uint8_t>(y);
            }
        }
    }
};

struct Rule {
    std::string name;
    CombineOp op;
    std::function<int(int p, int q)> expected;  // the one-line definition
};

const std::vector<Rule> kRules = {
    {"and", CombineOp::And, [](int p, int q) { return p & q; }},
    {"or", CombineOp::Or, [](int p, int q) { return p | q; }},
    {"xor", CombineOp::Xor, [](int p, int q) { return p ^ q; }},
    {"add", CombineOp::Add, [](int p, int q) { return std::min(p + q, 255); }},
    {"mix", CombineOp::Mix, [](int p, int q) { return (p + q) / 2; }},
    {"sub", CombineOp::Subtract, [](int p, int q) { return std::max(p - q, 0); }},
    {"subfrom", CombineOp::SubtractFrom, [](int p, int q) { return std::max(q - p, 0); }},
    {"mul", CombineOp::Multiply, [](int p, int q) { return static_cast<int>(p * (q / 255.0) + 0.3); }},
};

TEST(CombineWithOther, EveryPairOfValuesFollowsTheDefinition) {
    for (const bool baseline :
         {false, true}) {  // the widest instructions the processor has, and the baseline
        RestrictToBaselineInstructions(baseline);
        for (const Rule& rule : kRules) {
            Pairs pairs;
            ASSERT_TRUE(CombineWithOther(pairs.current, pairs.other, rule.op));
            int mismatches = 0;
            for (int32_t q = 0; q < 256; ++q) {
                for (int32_t p = 0; p < 256; ++p) mismatches += pairs.current.At(p, q) != rule.expected(p, q);
            }
            EXPECT_EQ(mismatches, 0) << rule.name << (baseline ? " (baseline)" : "");
        }
    }
    RestrictToBaselineInstructions(false);
}

uint8_t Combined(int p, int q, CombineOp op) {
    GrayBitmap a = *CreateGrayBitmap(1, 1);
    GrayBitmap b = *CreateGrayBitmap(1, 1);
    a.At(0, 0) = static_cast<uint8_t>(p);
    b.At(0, 0) = static_cast<uint8_t>(q);
    CombineWithOther(a, b, op);
    return a.At(0, 0);
}

TEST(CombineWithOther, WorkedValues) {
    EXPECT_EQ(Combined(3, 4, CombineOp::Mix), 3);
    EXPECT_EQ(Combined(255, 254, CombineOp::Mix), 254);
    EXPECT_EQ(Combined(100, 128, CombineOp::Multiply), 50);  // 50.196 + 0.3 truncated
    EXPECT_EQ(Combined(1, 255, CombineOp::Multiply), 1);
    EXPECT_EQ(Combined(255, 255, CombineOp::Multiply), 255);
    EXPECT_EQ(Combined(10, 30, CombineOp::Subtract), 0);
    EXPECT_EQ(Combined(10, 30, CombineOp::SubtractFrom), 20);
    EXPECT_EQ(Combined(200, 100, CombineOp::Add), 255);
}

TEST(CombineWithOther, WithItself) {
    Pairs pairs;
    for (const auto& [op, expected] : std::vector<std::pair<CombineOp, std::function<int(int)>>>{
             {CombineOp::Add, [](int p) { return std::min(2 * p, 255); }},
             {CombineOp::Subtract, [](int) { return 0; }},
             {CombineOp::Mix, [](int p) { return p; }},
         }) {
        GrayBitmap image = pairs.current;
        const GrayBitmap same = image;
        CombineWithOther(image, same, op);
        for (int32_t x = 0; x < 256; ++x) EXPECT_EQ(image.At(x, 9), expected(x));
    }
}

TEST(CombineWithOther, ImagesOfDifferentSizeAreRefusedUnchanged) {
    GrayBitmap current = *CreateGrayBitmap(100, 100);
    std::fill(current.pixels.begin(), current.pixels.end(), 9);
    for (const auto& [w, h] : {std::pair{101, 100}, std::pair{100, 101}, std::pair{99, 99}}) {
        const GrayBitmap other = *CreateGrayBitmap(w, h);
        EXPECT_FALSE(CombineWithOther(current, other, CombineOp::Subtract));
        EXPECT_EQ(current.At(50, 50), 9);
    }
}

}  // namespace
}  // namespace tarkemo
