#include "ops/bit_ops.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tarkemo {
namespace {

// 35 x 8 pixels hold every value 0 ... 255 (and 24 more); rows are wider than one vector register and
// leave a filler byte each.
GrayBitmap AllValues() {
    GrayBitmap image = *CreateGrayBitmap(35, 8);
    for (int32_t i = 0; i < 35 * 8; ++i) image.At(i % 35, i / 35) = static_cast<uint8_t>(i);
    for (int32_t y = 0; y < 8; ++y) image.Row(y)[35] = 0xEE;
    return image;
}

int BitOf(int p, int i) {
    return (p >> i) & 1;
}

struct Operation {
    std::string name;
    int32_t id;
    std::function<int(int p, int c)> expected;  // the one-line definition
};

const std::vector<Operation> kOperations = {
    {"NOT", kBitNot, [](int p, int) { return 255 - p; }},
    {"AND", kBitAnd, [](int p, int c) { return p & c; }},
    {"OR", kBitOr, [](int p, int c) { return p | c; }},
    {"XOR", kBitXor, [](int p, int c) { return p ^ c; }},
    {"RL", kBitRotateLeft, [](int p, int) { return (p * 2) % 256 + BitOf(p, 7); }},
    {"RR", kBitRotateRight, [](int p, int) { return p / 2 + 128 * BitOf(p, 0); }},
    {"SL", kBitShiftLeft, [](int p, int) { return (2 * p) % 256; }},
    {"SR", kBitShiftRight, [](int p, int) { return p / 2; }},
    {"BI", kBitReverse,
     [](int p, int) {
         int r = 0;
         for (int i = 0; i < 8; ++i) r |= BitOf(p, i) << (7 - i);
         return r;
     }},
};

TEST(BitOperations, EveryValueFollowsItsDefinitionForSeveralConstants) {
    for (const Operation& op : kOperations) {
        for (const int c : {0, 1, 0x5A, 0xA5, 128, 255}) {
            SCOPED_TRACE(op.name + " with " + std::to_string(c));
            GrayBitmap image = AllValues();
            ASSERT_TRUE(ApplyBitOperation(image, op.id, static_cast<uint8_t>(c)));
            for (int32_t i = 0; i < 35 * 8; ++i) {
                ASSERT_EQ(image.At(i % 35, i / 35), op.expected(i % 256, c)) << "value " << i % 256;
            }
            for (int32_t y = 0; y < 8; ++y) EXPECT_EQ(image.Row(y)[35], 0xEE) << "filler byte touched";
        }
    }
}

TEST(BitOperations, InversesAndCyclesRestoreTheImage) {
    struct Cycle {
        std::string name;
        int32_t id;
        uint8_t constant;
        int times;
    };
    const Cycle cycles[] = {{"NOT twice", kBitNot, 0, 2},
                            {"XOR twice", kBitXor, 0x3C, 2},
                            {"BI twice", kBitReverse, 0, 2},
                            {"RL eight times", kBitRotateLeft, 0, 8},
                            {"RR eight times", kBitRotateRight, 0, 8}};
    const GrayBitmap original = AllValues();
    for (const Cycle& cycle : cycles) {
        GrayBitmap image = original;
        for (int i = 0; i < cycle.times; ++i) ApplyBitOperation(image, cycle.id, cycle.constant);
        EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), original.pixels.begin()))
            << cycle.name;
    }
}

TEST(BitOperations, WorkedValues) {
    GrayBitmap image = *CreateGrayBitmap(2, 1);
    image.At(0, 0) = 200;
    image.At(1, 0) = 128;
    ApplyBitOperation(image, kBitShiftLeft, 0);
    EXPECT_EQ(image.At(0, 0), 144);
    EXPECT_EQ(image.At(1, 0), 0);

    GrayBitmap black = AllValues();
    ApplyBitOperation(black, kBitAnd, 0);
    GrayBitmap white = AllValues();
    ApplyBitOperation(white, kBitOr, 255);
    GrayBitmap xored = AllValues();
    ApplyBitOperation(xored, kBitXor, 255);
    GrayBitmap inverted = AllValues();
    ApplyBitOperation(inverted, kBitNot, 0);
    for (int32_t i = 0; i < 35 * 8; ++i) {
        EXPECT_EQ(black.At(i % 35, i / 35), 0);
        EXPECT_EQ(white.At(i % 35, i / 35), 255);
    }
    EXPECT_TRUE(std::equal(xored.pixels.begin(), xored.pixels.end(), inverted.pixels.begin()));
}

TEST(BitOperations, UnknownCommandIsRefusedAndChangesNothing) {
    const GrayBitmap original = AllValues();
    for (const int32_t id : {0, 40010, 40025, 40065, 40131, 40133}) {
        GrayBitmap image = original;
        EXPECT_FALSE(ApplyBitOperation(image, id, 7)) << id;
        EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), original.pixels.begin()));
    }
}

TEST(BitOperations, PreviewTableShowsWhatTheOperationWouldMake) {
    // A table whose entries all differ, so every colour names the index it belongs to.
    ColourTable own{};
    for (int i = 0; i < 256; ++i) {
        own[static_cast<size_t>(i)] = ColourEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                                  static_cast<uint8_t>(i * 7), 0};
    }
    for (const Operation& op : kOperations) {
        for (const int c : {0, 77, 255}) {
            const ColourTable preview = BitPreviewTable(own, op.id, static_cast<uint8_t>(c));
            const bool withConstant = op.id == kBitAnd || op.id == kBitOr || op.id == kBitXor;
            for (int p = 0; p < 256; ++p) {
                // With a constant the preview shows pixel p in the colour of its result; the other
                // operations have no preview and leave the table as it is.
                const int shown = withConstant ? op.expected(p, c) : p;
                ASSERT_EQ(preview[static_cast<size_t>(p)], own[static_cast<size_t>(shown)])
                    << op.name << " c=" << c << " p=" << p;
            }
        }
    }
}

}  // namespace
}  // namespace tarkemo
