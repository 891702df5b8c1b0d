// What the mouse tools do in the spectrum editor: they draw into the working bitmap and, at the
// same grid points, into the filter (left button 1 + 0i at value 255, right button 0 + 0i at 0);
// Ctrl squares a new marking and centres a moved one on the zero frequency; the read-out shows
// frequencies.
#pragma once

#include "app/view/tool_client.h"

namespace tarkemo::app {

class FilterSpectDlg;

class EditorToolClient final : public ToolClient {
  public:
    explicit EditorToolClient(FilterSpectDlg& editor) : editor_(editor) {}

    Tool CurrentTool() const override;
    PenSettings Pen() const override;
    GrayBitmap* Canvas() override;

    // Straight-line mode keeps the filter in the filtered arrays, as the display keeps its pixels.
    void StraightLineStarting() override;
    bool ObservesPixels() const override { return true; }
    void PixelPainted(int32_t x, int32_t y, ToolButton button) override;
    void PixelRestored(int32_t x, int32_t y) override;
    // One re-render per stroke, showing the new filter.
    void StrokeFinished() override;

    Marking CreatingMarking(const Marking& marking, bool ctrl) const override;
    std::optional<Marking> MovedMarkingOverride(const Marking& saved, bool ctrl) const override;
    ReadoutLines MovingReadout(const Marking& marking) const override;
    ReadoutLines PointerLines(const ViewState& view, const GrayBitmap* bitmap, int32_t x,
                              int32_t y) const override;

  private:
    FilterSpectDlg& editor_;
};

}  // namespace tarkemo::app
