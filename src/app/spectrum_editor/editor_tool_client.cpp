#include "app/spectrum_editor/editor_tool_client.h"

#include <cstring>

#include "app/spectrum_editor/filter_spect_dlg.h"
#include "document/marking_edit.h"
#include "spectrum/editor_marking.h"

namespace tarkemo::app {

Tool EditorToolClient::CurrentTool() const {
    switch (editor_.Tool()) {
        case 40034:
            return Tool::kMarking;
        case 40028:
            return Tool::kDrawing;
        default:
            return Tool::kPanZoom;
    }
}

PenSettings EditorToolClient::Pen() const {
    return PenSettings{editor_.PenSize(), 255, 0};
}

GrayBitmap* EditorToolClient::Canvas() {
    return &editor_.Context().working;
}

void EditorToolClient::StraightLineStarting() {
    SpectrumContext& context = editor_.Context();
    std::memcpy(context.filteredRe.get(), context.filterRe.get(), context.Count() * sizeof(float));
    std::memcpy(context.filteredIm.get(), context.filterIm.get(), context.Count() * sizeof(float));
}

void EditorToolClient::PixelPainted(int32_t x, int32_t y, ToolButton button) {
    SpectrumContext& context = editor_.Context();
    const size_t index = context.Filter().Index(x, y);
    context.filterRe[index] = button == ToolButton::kLeft ? 1.0f : 0.0f;
    context.filterIm[index] = 0.0f;
}

void EditorToolClient::PixelRestored(int32_t x, int32_t y) {
    SpectrumContext& context = editor_.Context();
    const size_t index = context.Filter().Index(x, y);
    context.filterRe[index] = context.filteredRe[index];
    context.filterIm[index] = context.filteredIm[index];
}

void EditorToolClient::StrokeFinished() {
    editor_.Render(true);
}

Marking EditorToolClient::CreatingMarking(const Marking& marking, bool ctrl) const {
    return ctrl ? SquaredMarking(marking) : marking;
}

std::optional<Marking> EditorToolClient::MovedMarkingOverride(const Marking& saved, bool ctrl) const {
    if (!ctrl) return std::nullopt;
    return CentredMarking(saved, editor_.Context().width, editor_.Context().height);
}

ReadoutLines EditorToolClient::MovingReadout(const Marking& marking) const {
    return SpectrumMovingReadout(marking, editor_.Context().width, editor_.Context().height);
}

ReadoutLines EditorToolClient::PointerLines(const ViewState& view, const GrayBitmap* bitmap, int32_t x,
                                            int32_t y) const {
    return SpectrumPointerReadout(view, bitmap, x, y);
}

}  // namespace tarkemo::app
