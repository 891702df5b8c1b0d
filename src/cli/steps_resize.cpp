#include "cli/steps.h"
#include "ops/border_extension.h"

namespace tarkemo::cli {
namespace {

// resize=W,H,FILL centres the image; resize=W,H,OX,OY,FILL places it at the offsets.
Status Resize(StepContext& context, std::string_view argument) {
    const auto parts = SplitCommas(argument);
    if (parts.size() != 3 && parts.size() != 5) return BadStepArgument("resize", argument);
    const auto fill = ParseFill(parts.back());
    const auto sizes = ParseIntegerList(argument.substr(0, argument.rfind(',')));
    if (!fill || !sizes) return BadStepArgument("resize", argument);
    const GrayBitmap& image = context.bitmap;
    const int64_t width = (*sizes)[0];
    const int64_t height = (*sizes)[1];
    const bool centred = sizes->size() == 2;
    const int64_t offsetX = centred ? (width - image.width) / 2 : (*sizes)[2];
    const int64_t offsetY = centred ? (height - image.height) / 2 : (*sizes)[3];
    if (offsetX < 0 || offsetY < 0 || offsetX + image.width > width || offsetY + image.height > height) {
        return StepFailed("resize", "das Bild passt an dieser Stelle nicht in die neue Größe");
    }
    if (!BitmapSizeAllowed(width, height)) return StepFailed("resize", "die neue Größe ist zu groß");
    if (!ExtendBorderInPlace(context.bitmap, static_cast<int32_t>(width), static_cast<int32_t>(height),
                             static_cast<int32_t>(offsetX), static_cast<int32_t>(offsetY), *fill)) {
        return StepFailed("resize", "Nicht genügend Speicher vorhanden!");
    }
    return Status::Ok();
}

}  // namespace

std::optional<int32_t> ParseFill(std::string_view text) {
    if (text == "mean") return kMeanGray;
    if (text == "flip-inc") return kFlipInc;
    if (text == "flip-exc") return kFlipExc;
    if (text == "periodic") return kPeriodic;
    if (text == "local-mean") return kLocalMean;
    const auto value = ParseInteger(text);
    if (!value || *value < 0 || *value > 255) return std::nullopt;
    return static_cast<int32_t>(*value);
}

void AddResizeSteps(std::vector<StepDef>& steps) {
    steps.push_back({"resize", true, "resize=W,H,FILL | resize=W,H,OX,OY,FILL", Resize});
}

}  // namespace tarkemo::cli
