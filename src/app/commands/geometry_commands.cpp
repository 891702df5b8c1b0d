#include "app/commands/geometry_commands.h"

#include <QDialog>
#include <optional>

#include "app/dialogs/bitmap_size_dlg.h"
#include "app/shell/command_flow.h"
#include "app/shell/main_window.h"
#include "app/view/image_view.h"
#include "ops/border_extension.h"
#include "ops/geometry.h"

namespace tarkemo::app {
namespace {

enum class Turn { kMirrorLeftRight, kMirrorTopBottom, kHalf, kLeft, kRight };

std::optional<Turn> TurnOf(int id) {
    switch (id) {
        case 40035:
            return Turn::kMirrorLeftRight;
        case 40036:
            return Turn::kMirrorTopBottom;
        case 40162:
        case 40164:
            return Turn::kHalf;
        case 40037:
            return Turn::kLeft;
        case 40038:
            return Turn::kRight;
        default:
            return std::nullopt;
    }
}

Marking TurnedMarking(Turn turn, const Marking& marking, int32_t width, int32_t height) {
    switch (turn) {
        case Turn::kMirrorLeftRight:
            return MirrorMarkingLeftRight(marking, width, height);
        case Turn::kMirrorTopBottom:
            return MirrorMarkingTopBottom(marking, width, height);
        case Turn::kHalf:
            return RotateMarking180(marking, width, height);
        case Turn::kLeft:
            return RotateMarkingLeft(marking, width, height);
        case Turn::kRight:
            break;
    }
    return RotateMarkingRight(marking, width, height);
}

CommandEnd Transform(MainWindow& window, Turn turn) {
    switch (turn) {
        case Turn::kMirrorLeftRight:
            return RunGeometryCommand(window, MirrorLeftRight);
        case Turn::kMirrorTopBottom:
            return RunGeometryCommand(window, MirrorTopBottom);
        case Turn::kHalf:
            return RunGeometryCommand(window, Rotate180);
        case Turn::kLeft:
            return RunReplacingCommand(window,
                                       [](const GrayBitmap& image, Progress*) { return RotatedLeft(image); });
        case Turn::kRight:
            break;
    }
    return RunReplacingCommand(window,
                               [](const GrayBitmap& image, Progress*) { return RotatedRight(image); });
}

// Where the image lands in the new size, and the marking moved with it: a marking that no longer
// lies wholly inside the new image becomes the whole image.
Marking ShiftedMarking(const Marking& marking, ImageExtent offset, int32_t width, int32_t height) {
    const Marking moved{marking.left + offset.width, marking.top + offset.height,
                        marking.right + offset.width, marking.bottom + offset.height};
    const bool inside = moved.left >= 0 && moved.bottom >= 0 && moved.right < width && moved.top < height;
    return inside ? moved : WholeImageMarking(width, height);
}

}  // namespace

void MirrorRotateCommand(MainWindow& window, const CommandCall& call) {
    const std::optional<Turn> turn = TurnOf(call.id);
    if (!turn || !window.Document().HasDocument()) return;
    const GrayBitmap& before = *window.Document().Bitmap();
    const int32_t width = before.width;
    const int32_t height = before.height;
    const Marking marking = window.View().CurrentMarking();
    if (Transform(window, *turn) != CommandEnd::kDone) return;
    ImageView& view = window.View();
    if (*turn == Turn::kLeft || *turn == Turn::kRight) {
        AdjustViewAfterQuarterTurn(view.MutableState(), *turn == Turn::kLeft);
    }
    view.SetMarking(TurnedMarking(*turn, marking, width, height));
}

void ResizeCommand(MainWindow& window, const CommandCall& /*call*/) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return;
    const ImageExtent image{document.Bitmap()->width, document.Bitmap()->height};
    SizeSettings& remembered = window.Settings().resize;
    remembered.width = image.width;
    remembered.height = image.height;
    {
        BitmapSizeDlg dialog(remembered, image, window.Prompt(), &window);
        if (window.Prompt().RunDialog(dialog) != QDialog::Accepted) return;
        remembered = dialog.Settings();
    }
    const SizeSettings settings = remembered;
    const ImageExtent offset = ResizeOffsets(settings, image);
    const Marking marking = window.View().CurrentMarking();
    const auto extend = [&](const GrayBitmap& source, Progress* progress) {
        return ExtendBorder(source, settings.width, settings.height, offset.width, offset.height,
                            settings.fillRule, progress);
    };
    if (RunReplacingCommand(window, extend) != CommandEnd::kDone) return;
    ImageView& view = window.View();
    UpdateDisplayedSize(view.MutableState(), settings.width, settings.height);
    CentreImage(view.MutableState());
    view.SetMarking(ShiftedMarking(marking, offset, settings.width, settings.height));
}

}  // namespace tarkemo::app
