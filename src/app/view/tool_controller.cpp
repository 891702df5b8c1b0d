#include "app/view/tool_controller.h"

#include <cstring>
#include <new>

#include "document/marking_edit.h"
#include "image/memory_limits.h"

namespace tarkemo::app {

// One drawing stroke: its button, pen, the bitmap it writes, the segment end points and the
// backup that straight-line mode restores the preview from (none when it could not be had).
struct ToolController::Stroke {
    ToolButton button = ToolButton::kLeft;
    PenSettings pen;
    GrayBitmap* canvas = nullptr;
    ImagePoint anchor;
    ImagePoint end;
    bool straight = false;
    std::unique_ptr<uint8_t[]> backup;
    size_t bytes = 0;  // the canvas's pixel bytes when the stroke began
};

namespace {

// Passes every pixel of a segment on to the client, with the stroke's button or as restored.
class ClientObserver : public SegmentObserver {
  public:
    ClientObserver(ToolClient& client, ToolButton button, bool restore)
        : client_(client), button_(button), restore_(restore) {}
    void PixelWritten(int32_t x, int32_t y) override {
        if (restore_) {
            client_.PixelRestored(x, y);
        } else {
            client_.PixelPainted(x, y, button_);
        }
    }

  private:
    ToolClient& client_;
    ToolButton button_;
    bool restore_;
};

// A copy buffer the size of the pixels, or none without memory; the stroke then has no
// straight-line mode.
// The owner of a view that has none: the pan tool, no drawing.
class PassiveClient : public ToolClient {
  public:
    Tool CurrentTool() const override { return Tool::kPanZoom; }
    PenSettings Pen() const override { return {}; }
    GrayBitmap* Canvas() override { return nullptr; }
};

PassiveClient& NoClient() {
    static PassiveClient client;
    return client;
}

std::unique_ptr<uint8_t[]> AllocateBackup(size_t bytes) {
    if (bytes == 0 || !AllocationFits(bytes)) return nullptr;
    try {
        return std::make_unique_for_overwrite<uint8_t[]>(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

ToolController::ToolController(ViewState& view, Marking& marking, ToolHost& host)
    : view_(view), marking_(marking), host_(host), client_(&NoClient()) {}

ToolController::~ToolController() = default;

void ToolController::SetClient(ToolClient* client) {
    Abort();
    client_ = client != nullptr ? client : &NoClient();
}

void ToolController::SetBitmap(const GrayBitmap* bitmap) {
    if (bitmap != bitmap_) Abort();
    bitmap_ = bitmap;
}

void ToolController::Abort() {
    creating_ = false;
    moving_ = false;
    panning_ = false;
    stroke_.reset();
}

bool ToolController::HasImage() const {
    return bitmap_ != nullptr && bitmap_->width > 0 && bitmap_->height > 0;
}

ImagePoint ToolController::PixelAt(int32_t x, int32_t y) const {
    return WindowToImage(view_, bitmap_->width, bitmap_->height, x, y);
}

bool ToolController::DragInProgress() const {
    return creating_ || moving_ || panning_ || stroke_ != nullptr;
}

// -- events ---------------------------------------------------------------------------------------

void ToolController::MouseDown(ToolButton button, int32_t x, int32_t y, bool ctrl) {
    if (!HasImage()) return;
    pointerX_ = x;
    pointerY_ = y;
    switch (client_->CurrentTool()) {
        case Tool::kPanZoom:
            PanDown(button, x, y, ctrl);
            break;
        case Tool::kMarking:
            MarkDown(button, x, y, ctrl);
            break;
        case Tool::kDrawing:
            StrokeDown(button, x, y);
            break;
        case Tool::kOriginShift:
            OriginShiftDown(button, x, y);
            break;
    }
}

void ToolController::MouseMove(int32_t x, int32_t y, bool ctrl) {
    if (!HasImage()) {
        SetCursor(ToolCursor::kArrow);
        host_.ShowReadout(Readout(x, y));
        return;
    }
    pointerX_ = x;
    pointerY_ = y;
    if (!ctrl) controlFlag_ = false;
    if (panning_) {
        PanMove(x, y);
    } else {
        SetCursor(controlFlag_ ? ToolCursor::kZoomGlass : ToolCursor::kCross);
        if (creating_ || moving_) MarkMove(x, y, ctrl);
        if (stroke_ != nullptr) StrokeMove(x, y, ctrl);
    }
    host_.ShowReadout(Readout(x, y));
}

void ToolController::MouseUp(ToolButton button, int32_t x, int32_t y, bool ctrl) {
    if (!HasImage()) return;
    if (panning_ && button == ToolButton::kLeft) {
        panning_ = false;
        SetCursor(ToolCursor::kOpenHand);
    } else if ((creating_ || moving_) && button == ToolButton::kLeft) {
        MarkUp(x, y, ctrl);
    } else if (stroke_ != nullptr && button == stroke_->button) {
        StrokeUp(x, y);
    }
}

bool ToolController::KeyDown(ToolKey key) {
    if (!HasImage() || panning_) return false;
    if (key == ToolKey::kEscape) {
        if (!MarkingDrag()) return false;
        EndMarkingDrag(true);
        return true;
    }
    if (client_->CurrentTool() != Tool::kPanZoom) return false;
    controlFlag_ = true;
    SetCursor(ToolCursor::kZoomGlass);
    return true;
}

bool ToolController::KeyUp(ToolKey key) {
    if (key != ToolKey::kControl || !controlFlag_) return false;
    controlFlag_ = false;
    SetCursor(HasImage() ? ToolCursor::kCross : ToolCursor::kArrow);
    return true;
}

void ToolController::CaptureLost() {
    if (!HasImage() || !DragInProgress()) return;
    const int32_t x = pointerX_;
    const int32_t y = pointerY_;
    if (panning_) MouseUp(ToolButton::kLeft, x, y, false);
    if (creating_ || moving_) MouseUp(ToolButton::kLeft, x, y, false);
    if (stroke_ != nullptr) MouseUp(stroke_->button, x, y, false);
}

ReadoutLines ToolController::Readout(int32_t x, int32_t y) const {
    if (!HasImage()) return client_->PointerLines(view_, bitmap_, x, y);
    if (creating_) return client_->CreatingReadout(marking_);
    const bool over =
        IsOverDisplayedImage(view_, x, y) && IsOnImage(PixelAt(x, y), bitmap_->width, bitmap_->height);
    if (moving_ && over) return client_->MovingReadout(marking_);
    return client_->PointerLines(view_, bitmap_, x, y);
}

// -- pan and zoom ---------------------------------------------------------------------------------

void ToolController::PanDown(ToolButton button, int32_t x, int32_t y, bool ctrl) {
    if (button == ToolButton::kLeft) {
        if (ctrl) {
            if (controlFlag_) ZoomClick(+1, x, y);
            return;
        }
        panning_ = true;
        view_.lastPointerX = x;
        view_.lastPointerY = y;
        SetCursor(ToolCursor::kClosedHand);
        return;
    }
    if (ctrl) {
        ZoomClick(-1, x, y);
        return;
    }
    CentreImage(view_);
    host_.RepaintView(true);
}

void ToolController::ZoomClick(int direction, int32_t x, int32_t y) {
    if (!ZoomAt(view_, bitmap_->width, bitmap_->height, direction, x, y)) return;
    host_.RepaintView(true);
    host_.ShowReadout(Readout(x, y));
}

void ToolController::PanMove(int32_t x, int32_t y) {
    const PanShift shift = PanBy(view_, static_cast<int64_t>(x) - view_.lastPointerX,
                                 static_cast<int64_t>(y) - view_.lastPointerY);
    if (shift.dx != 0 || shift.dy != 0) host_.ScrollView(shift.dx, shift.dy);
    view_.lastPointerX = x;
    view_.lastPointerY = y;
}

// -- marking --------------------------------------------------------------------------------------

void ToolController::MarkDown(ToolButton button, int32_t x, int32_t y, bool ctrl) {
    const ClampedPixel pixel = ClampToImage(PixelAt(x, y), bitmap_->width, bitmap_->height);
    if (button == ToolButton::kRight) {
        if (creating_) return;
        if (!ctrl) {
            marking_ = WholeImageMarking(bitmap_->width, bitmap_->height);
        } else {
            marking_.right = pixel.column;
            marking_.bottom = pixel.row;
            marking_ = NormalisedMarking(marking_);
        }
        host_.RepaintView(false);
        return;
    }
    if (creating_ || moving_) return;
    savedMarking_ = marking_;
    view_.previousRect = WholeImageMarking(bitmap_->width, bitmap_->height);
    view_.lastPointerX = x;
    view_.lastPointerY = y;
    if (IsWholeImage(marking_, bitmap_->width, bitmap_->height) ||
        !MarkingContains(marking_, pixel.column, pixel.row)) {
        marking_ = Marking{pixel.column, pixel.row, pixel.column, pixel.row};
        creating_ = true;
        host_.ShowReadout(client_->CreatingReadout(marking_));
    } else {
        moving_ = true;
        pressX_ = x;
        pressY_ = y;
        host_.ShowReadout(client_->MovingReadout(marking_));
    }
    // The first paint of a drag draws the picture without the copy-mode frame, then the XOR frame.
    host_.RepaintView(true);
}

void ToolController::SetCreatedCorner(int32_t x, int32_t y, bool ctrl) {
    const ClampedPixel pixel = ClampToImage(PixelAt(x, y), bitmap_->width, bitmap_->height);
    marking_.right = pixel.column;
    marking_.bottom = pixel.row;
    marking_ = client_->CreatingMarking(marking_, ctrl);
}

void ToolController::MarkMove(int32_t x, int32_t y, bool ctrl) {
    if (creating_) {
        SetCreatedCorner(x, y, ctrl);
    } else if (const std::optional<Marking> fixed = client_->MovedMarkingOverride(savedMarking_, ctrl)) {
        marking_ = *fixed;
    } else {
        const MarkingShift shift =
            MarkingShiftFor(view_, bitmap_->width, bitmap_->height, pressX_, pressY_, x, y);
        marking_ = MovedMarking(savedMarking_, shift.dx, shift.dy, bitmap_->width, bitmap_->height);
    }
    view_.rubberBandShown = true;
    host_.RepaintView(false);
}

void ToolController::MarkUp(int32_t x, int32_t y, bool ctrl) {
    if (creating_) {
        SetCreatedCorner(x, y, ctrl);
        marking_ = NormalisedMarking(marking_);
        view_.rubberBandShown = true;
    }
    creating_ = false;
    moving_ = false;
    host_.RepaintView(true);
    host_.ShowReadout(Readout(x, y));
}

void ToolController::EndMarkingDrag(bool restore) {
    creating_ = false;
    moving_ = false;
    if (restore) marking_ = savedMarking_;
    view_.rubberBandShown = true;
    host_.RepaintView(true);
    host_.ShowReadout(Readout(pointerX_, pointerY_));
}

void ToolController::RestoreSavedMarking() {
    marking_ = savedMarking_;
    host_.RepaintView(true);
}

// -- drawing --------------------------------------------------------------------------------------

void ToolController::StrokeDown(ToolButton button, int32_t x, int32_t y) {
    if (stroke_ != nullptr) return;
    GrayBitmap* canvas = client_->Canvas();
    if (canvas == nullptr || canvas != bitmap_) return;
    const ImagePoint pixel = PixelAt(x, y);
    if (!IsOnImage(pixel, bitmap_->width, bitmap_->height)) return;
    client_->StrokeStarting();
    stroke_ = std::make_unique<Stroke>();
    stroke_->button = button;
    stroke_->pen = client_->Pen();
    stroke_->canvas = canvas;
    stroke_->anchor = pixel;
    stroke_->end = pixel;
    stroke_->bytes = canvas->ByteCount();
    stroke_->backup = AllocateBackup(stroke_->bytes);
    host_.RepaintPixels(Segment(pixel, pixel, false));
}

TouchedArea ToolController::Segment(ImagePoint a, ImagePoint b, bool restore) {
    const PenSettings& pen = stroke_->pen;
    PenInk ink{stroke_->button == ToolButton::kLeft ? pen.leftIndex : pen.rightIndex};
    if (restore) ink.backup = stroke_->backup.get();
    if (!client_->ObservesPixels()) return DrawSegment(*stroke_->canvas, marking_, a, b, pen.size, ink);
    ClientObserver observer(*client_, stroke_->button, restore);
    return DrawSegment(*stroke_->canvas, marking_, a, b, pen.size, ink, &observer);
}

bool ToolController::StrokeCanvasUnchanged() {
    if (stroke_->canvas == bitmap_ && stroke_->canvas == client_->Canvas() &&
        stroke_->canvas->ByteCount() == stroke_->bytes) {
        return true;
    }
    // The image was replaced or resized underneath: the stroke and its backup no longer fit it.
    EndStroke();
    return false;
}

void ToolController::StrokeMove(int32_t x, int32_t y, bool ctrl) {
    if (!StrokeCanvasUnchanged()) return;
    Stroke& s = *stroke_;
    TouchedArea touched;
    if (s.straight) touched.Add(Segment(s.anchor, s.end, true));
    if (!s.straight && ctrl && s.backup != nullptr) {
        std::memcpy(s.backup.get(), s.canvas->pixels.data(), s.canvas->ByteCount());
        s.straight = true;
        client_->StraightLineStarting();
    }
    if (s.straight && !ctrl) {
        s.straight = false;
        touched.Add(Segment(s.anchor, s.end, false));
        s.anchor = s.end;
    }
    s.end = PixelAt(x, y);
    touched.Add(Segment(s.anchor, s.end, false));
    if (!s.straight) s.anchor = s.end;
    host_.RepaintPixels(touched);
}

void ToolController::StrokeUp(int32_t x, int32_t y) {
    if (!StrokeCanvasUnchanged()) return;
    Stroke& s = *stroke_;
    TouchedArea touched;
    // The preview goes first, so the final line is drawn over the picture of before.
    if (s.straight) touched.Add(Segment(s.anchor, s.end, true));
    s.end = PixelAt(x, y);
    touched.Add(Segment(s.anchor, s.end, false));
    host_.RepaintPixels(touched);
    EndStroke();
}

void ToolController::EndStroke() {
    stroke_.reset();
    client_->StrokeFinished();
}

// -- origin shift ---------------------------------------------------------------------------------

void ToolController::OriginShiftDown(ToolButton button, int32_t x, int32_t y) {
    const ImagePoint pixel = PixelAt(x, y);
    if (!IsOnImage(pixel, bitmap_->width, bitmap_->height)) return;
    if (button == ToolButton::kLeft) {
        client_->OriginShiftRequested(pixel.column, pixel.row);
    } else {
        client_->OriginShiftRequested(bitmap_->width - pixel.column, bitmap_->height - pixel.row);
    }
    host_.RepaintView(true);
}

}  // namespace tarkemo::app
