#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/steps.h"
#include "ops/bit_ops.h"
#include "ops/combine.h"
#include "ops/geometry.h"
#include "ops/local_ops.h"
#include "ops/normalize.h"
#include "ops/shift_origin.h"

namespace tarkemo::cli {
namespace {

constexpr const char* kNoMemory = "Nicht genügend Speicher vorhanden!";

// The whole numbers of "a,b,..." when there are exactly `count` of them, each within int32.
std::optional<std::vector<int32_t>> ParseNumbers(std::string_view argument, size_t count) {
    const auto values = ParseIntegerList(argument);
    if (!values || values->size() != count) return std::nullopt;
    std::vector<int32_t> numbers;
    for (const int64_t value : *values) {
        if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
        numbers.push_back(static_cast<int32_t>(value));
    }
    return numbers;
}

std::string SizeText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// ---- Bit and point operations ----

template <int32_t kCommandId>
Status BitStep(StepContext& context, std::string_view /*argument*/) {
    ApplyBitOperation(context.bitmap, kCommandId, 0);
    return Status::Ok();
}

template <int32_t kCommandId>
Status BitConstantStep(StepContext& context, std::string_view argument) {
    constexpr std::string_view name = kCommandId == kBitAnd ? "and" : (kCommandId == kBitOr ? "or" : "xor");
    const auto constant = ParseInteger(argument);
    if (!constant || *constant < 0 || *constant > 255) return BadStepArgument(name, argument);
    ApplyBitOperation(context.bitmap, kCommandId, static_cast<uint8_t>(*constant));
    return Status::Ok();
}

// A uniform image has no range to stretch; like the menu command this leaves it as it is.
Status Normalize(StepContext& context, std::string_view /*argument*/) {
    NormalizeRange(context.bitmap);
    return Status::Ok();
}

// ---- Geometry ----

template <void (*Transform)(GrayBitmap&)>
Status InPlaceStep(StepContext& context, std::string_view /*argument*/) {
    Transform(context.bitmap);
    return Status::Ok();
}

template <bool (*Turn)(GrayBitmap&)>
Status TurnStep(StepContext& context, std::string_view /*argument*/) {
    if (Turn(context.bitmap)) return Status::Ok();
    return StepFailed(Turn == &RotateLeft ? "rotate-left" : "rotate-right", kNoMemory);
}

// shift-origin=X,Y: pixel (X, Y) becomes the bottom-left corner; 0 <= X <= W, 0 <= Y <= H.
Status ShiftOriginStep(StepContext& context, std::string_view argument) {
    const auto shift = ParseNumbers(argument, 2);
    if (!shift) return BadStepArgument("shift-origin", argument);
    const GrayBitmap& image = context.bitmap;
    const int32_t x = (*shift)[0];
    const int32_t y = (*shift)[1];
    if (x < 0 || x > image.width || y < 0 || y > image.height) {
        return StepFailed("shift-origin", "die Verschiebung muss innerhalb von 0 ... " +
                                              SizeText(image.width, image.height) + " liegen");
    }
    if (!ShiftOrigin(context.bitmap, x, y)) return StepFailed("shift-origin", kNoMemory);
    return Status::Ok();
}

// ---- Local operations ----

// Why a window operation refused: the window against the image, else memory.
Status WindowFailure(std::string_view step, const GrayBitmap& image, int32_t width, int32_t height) {
    if (width > image.width || height > image.height) {
        return StepFailed(step, "das Fenster (" + SizeText(width, height) + ") ist größer als das Bild (" +
                                    SizeText(image.width, image.height) + ")");
    }
    return StepFailed(step, kNoMemory);
}

bool OddPositive(int32_t n) {
    return n > 0 && n % 2 == 1;
}

// rank=W,H,R: the R-th smallest value of each W x H window.
Status Rank(StepContext& context, std::string_view argument) {
    const auto values = ParseNumbers(argument, 3);
    if (!values) return BadStepArgument("rank", argument);
    const int32_t width = (*values)[0];
    const int32_t height = (*values)[1];
    const int32_t rank = (*values)[2];
    if (!OddPositive(width) || !OddPositive(height) || (width == 1 && height == 1)) {
        return StepFailed("rank",
                          "Breite und Höhe des Fensters müssen ungerade sein, das Fenster größer als 1 x 1");
    }
    if (rank < 1 || rank > static_cast<int64_t>(width) * height) {
        return StepFailed("rank", "der Rang muss zwischen 1 und " +
                                      std::to_string(static_cast<int64_t>(width) * height) + " liegen");
    }
    if (RankFilter(context.bitmap, width, height, rank)) return Status::Ok();
    return WindowFailure("rank", context.bitmap, width, height);
}

// local-normalize=W,H,MINCONTRAST,COMPARE; a minimum contrast of 0 is accepted.
Status LocalNormalizeStep(StepContext& context, std::string_view argument) {
    const auto values = ParseNumbers(argument, 4);
    if (!values) return BadStepArgument("local-normalize", argument);
    const int32_t width = (*values)[0];
    const int32_t height = (*values)[1];
    if (!OddPositive(width) || !OddPositive(height)) {
        return StepFailed("local-normalize", "Breite und Höhe des Fensters müssen positiv und ungerade sein");
    }
    if (LocalNormalize(context.bitmap, width, height, (*values)[2], (*values)[3])) return Status::Ok();
    return WindowFailure("local-normalize", context.bitmap, width, height);
}

Status Gradient(StepContext& context, std::string_view /*argument*/) {
    if (GradientFilter(context.bitmap)) return Status::Ok();
    if (context.bitmap.width < 3 || context.bitmap.height < 3) {
        return StepFailed("gradient", "das Bild muss mindestens 3 x 3 Pixel groß sein");
    }
    return StepFailed("gradient", kNoMemory);
}

// ---- Two images ----

struct CombineName {
    std::string_view name;
    CombineOp op;
};

constexpr std::array<CombineName, 8> kCombineNames{{
    {"and", CombineOp::And},
    {"or", CombineOp::Or},
    {"xor", CombineOp::Xor},
    {"add", CombineOp::Add},
    {"mix", CombineOp::Mix},
    {"sub", CombineOp::Subtract},
    {"subfrom", CombineOp::SubtractFrom},
    {"mul", CombineOp::Multiply},
}};

constexpr const char* kNotGrayQuestion =
    "Achtung: Die ausgewählte Bitmap besteht nicht nur aus Graustufen!\nGerechnet wird nur mit den "
    "Palettenindizes und NICHT mit den tatsächlichen Farben!\n\nWollen Sie trotzdem fortfahren?";

constexpr const char* kSizeMismatch =
    "Die beiden Bitmaps haben unterschiedliche Größen! Addition, Subtraktion usw. dieser Bitmaps ist daher "
    "nicht möglich!";

// combine=OP,FILE.bmp. A second image with false colours asks whether to go on, answered Yes only
// with --yes; a second image of another size is refused.
Status Combine(StepContext& context, std::string_view argument) {
    const size_t comma = argument.find(',');
    if (comma == std::string_view::npos || comma + 1 == argument.size())
        return BadStepArgument("combine", argument);
    const std::string_view opName = argument.substr(0, comma);
    const CombineName* found = nullptr;
    for (const CombineName& entry : kCombineNames) {
        if (entry.name == opName) found = &entry;
    }
    if (!found) return BadStepArgument("combine", argument);
    const auto other = ReadBmpFile(std::string(argument.substr(comma + 1)));
    if (!other) return {kInputRefused, kBmpReadErrorText};
    if (!other->grayRamp && !context.yes)
        return {kInputRefused, std::string(kNotGrayQuestion) + "\n-> Nein (mit --yes: Ja)"};
    if (!CombineWithOther(context.bitmap, other->bitmap, found->op)) return {kInputRefused, kSizeMismatch};
    return Status::Ok();
}

}  // namespace

void AddOpsSteps(std::vector<StepDef>& steps) {
    steps.push_back({"not", false, "not", BitStep<kBitNot>});
    steps.push_back({"and", true, "and=C (0..255)", BitConstantStep<kBitAnd>});
    steps.push_back({"or", true, "or=C (0..255)", BitConstantStep<kBitOr>});
    steps.push_back({"xor", true, "xor=C (0..255)", BitConstantStep<kBitXor>});
    steps.push_back({"rl", false, "rl", BitStep<kBitRotateLeft>});
    steps.push_back({"rr", false, "rr", BitStep<kBitRotateRight>});
    steps.push_back({"sl", false, "sl", BitStep<kBitShiftLeft>});
    steps.push_back({"sr", false, "sr", BitStep<kBitShiftRight>});
    steps.push_back({"bi", false, "bi", BitStep<kBitReverse>});
    steps.push_back({"normalize", false, "normalize", Normalize});
    steps.push_back({"flip-h", false, "flip-h", InPlaceStep<MirrorLeftRight>});
    steps.push_back({"flip-v", false, "flip-v", InPlaceStep<MirrorTopBottom>});
    steps.push_back({"rotate-left", false, "rotate-left", TurnStep<RotateLeft>});
    steps.push_back({"rotate-right", false, "rotate-right", TurnStep<RotateRight>});
    steps.push_back({"rotate-180", false, "rotate-180", InPlaceStep<Rotate180>});
    steps.push_back({"shift-origin", true, "shift-origin=X,Y", ShiftOriginStep});
    steps.push_back({"rank", true, "rank=W,H,R", Rank});
    steps.push_back({"local-normalize", true, "local-normalize=W,H,MINCONTRAST,COMPARE", LocalNormalizeStep});
    steps.push_back({"gradient", false, "gradient", Gradient});
    steps.push_back({"combine", true, "combine=OP,FILE.bmp (and or xor add mix sub subfrom mul)", Combine});
}

}  // namespace tarkemo::cli
