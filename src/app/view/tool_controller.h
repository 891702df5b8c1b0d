// The four mouse tools of an image view: pan and zoom, marking, drawing and origin shift. The
// controller keeps the drag state, the saved marking, the last manual entry, the drawing backup
// and the stroke points; it works on a view state, a marking and a bitmap that it is given, and
// reaches the window and the document only through ToolHost and ToolClient, so any view of a
// bitmap can use it.
#pragma once

#include <cstdint>
#include <memory>

#include "app/view/tool_client.h"

namespace tarkemo::app {

class ToolController {
  public:
    ToolController(ViewState& view, Marking& marking, ToolHost& host);
    ~ToolController();

    // The owner of the image; nullptr leaves only the pointer read-out working.
    void SetClient(ToolClient* client);
    // The bitmap shown. A different bitmap (or none) ends any drag without effect.
    void SetBitmap(const GrayBitmap* bitmap);
    // Ends any drag without effect: the image was replaced or resized underneath.
    void Abort();

    void MouseDown(ToolButton button, int32_t x, int32_t y, bool ctrl);
    void MouseMove(int32_t x, int32_t y, bool ctrl);
    void MouseUp(ToolButton button, int32_t x, int32_t y, bool ctrl);
    // True when the key was used.
    bool KeyDown(ToolKey key);
    bool KeyUp(ToolKey key);
    // The window lost the mouse (deactivated): a drag ends as a release at the last position.
    void CaptureLost();

    // A pan, marking drag or stroke is in progress.
    bool DragInProgress() const;
    // A marking is being created or moved: paints then exchange XOR frames only.
    bool MarkingDrag() const { return creating_ || moving_; }
    bool Panning() const { return panning_; }
    bool Stroking() const { return stroke_ != nullptr; }
    // Control went down while the pan tool was active.
    bool ControlFlag() const { return controlFlag_; }

    // The read-out for the pointer at window point (x, y) in the current drag situation.
    ReadoutLines Readout(int32_t x, int32_t y) const;

    // The manual entry: the dialog saves the marking, confirms an entry or restores the marking.
    void SaveMarking() { savedMarking_ = marking_; }
    void RestoreSavedMarking();
    const Marking& LastManualEntry() const { return lastManualEntry_; }
    void SetLastManualEntry(const Marking& entry) { lastManualEntry_ = entry; }

  private:
    struct Stroke;

    bool HasImage() const;
    ImagePoint PixelAt(int32_t x, int32_t y) const;
    void SetCursor(ToolCursor cursor) { host_.SetToolCursor(cursor); }

    void PanDown(ToolButton button, int32_t x, int32_t y, bool ctrl);
    void PanMove(int32_t x, int32_t y);
    void ZoomClick(int direction, int32_t x, int32_t y);

    void MarkDown(ToolButton button, int32_t x, int32_t y, bool ctrl);
    void MarkMove(int32_t x, int32_t y, bool ctrl);
    void MarkUp(int32_t x, int32_t y, bool ctrl);
    void SetCreatedCorner(int32_t x, int32_t y, bool ctrl);
    void EndMarkingDrag(bool restore);

    void StrokeDown(ToolButton button, int32_t x, int32_t y);
    void StrokeMove(int32_t x, int32_t y, bool ctrl);
    void StrokeUp(int32_t x, int32_t y);
    bool StrokeCanvasUnchanged();
    TouchedArea Segment(ImagePoint a, ImagePoint b, bool restore);
    void EndStroke();

    void OriginShiftDown(ToolButton button, int32_t x, int32_t y);

    ViewState& view_;
    Marking& marking_;
    ToolHost& host_;
    ToolClient* client_;  // never null: a passive client stands in for none
    const GrayBitmap* bitmap_ = nullptr;

    Marking savedMarking_;
    Marking lastManualEntry_;
    bool creating_ = false;
    bool moving_ = false;
    bool panning_ = false;
    bool controlFlag_ = false;
    int32_t pointerX_ = 0;  // window point of the last mouse event, where a lost drag ends
    int32_t pointerY_ = 0;
    int32_t pressX_ = 0;  // window point of the press that started a marking move
    int32_t pressY_ = 0;
    std::unique_ptr<Stroke> stroke_;
};

}  // namespace tarkemo::app
