// The two sides a ToolController talks to. ToolHost is the widget that shows the image (repaint,
// scroll, cursor, read-out); ToolClient is the owner of the image (the main window's document or
// the spectrum editor): which tool is chosen, the pen, what a stroke or an origin shift does to the
// document, its own read-out texts and the Ctrl variants of the marking drag.
#pragma once

#include <cstdint>
#include <optional>

#include "document/drawing.h"
#include "document/marking.h"
#include "document/readout_text.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo::app {

enum class Tool { kPanZoom, kMarking, kDrawing, kOriginShift };
enum class ToolButton { kLeft, kRight };
enum class ToolKey { kEscape, kControl };
enum class ToolCursor { kArrow, kCross, kOpenHand, kClosedHand, kZoomGlass };

// Pen size 1 ... 9 and the palette indices of the two buttons.
struct PenSettings {
    int size = 2;
    uint8_t leftIndex = 255;
    uint8_t rightIndex = 0;
};

class ToolHost {
  public:
    virtual ~ToolHost() = default;
    // Repaints the client area without erasing. During a marking drag only the XOR frames are
    // exchanged unless `withImage` asks for the picture to be drawn again as well.
    virtual void RepaintView(bool withImage) = 0;
    // Repaints the window area that shows the given image pixels.
    virtual void RepaintPixels(const TouchedArea& area) = 0;
    // Moves the window content by (dx, dy) and repaints the strips it uncovers.
    virtual void ScrollView(int32_t dx, int32_t dy) = 0;
    // Called on every mouse move; cheap when the cursor does not change.
    virtual void SetToolCursor(ToolCursor cursor) = 0;
    virtual void ShowReadout(const ReadoutLines& lines) = 0;
};

class ToolClient {
  public:
    virtual ~ToolClient() = default;

    virtual Tool CurrentTool() const = 0;
    virtual PenSettings Pen() const = 0;
    // The bitmap strokes write into; it must be the one the view shows. nullptr: no drawing.
    virtual GrayBitmap* Canvas() = 0;

    // Before the first dab of a stroke (undo snapshot, modified mark) and after its last one.
    virtual void StrokeStarting() {}
    virtual void StrokeFinished() {}
    // When straight-line mode starts, right after the pixels were copied into the backup.
    virtual void StraightLineStarting() {}
    // Whether PixelPainted and PixelRestored are wanted; asking for them costs a call per pixel.
    virtual bool ObservesPixels() const { return false; }
    virtual void PixelPainted(int32_t /*x*/, int32_t /*y*/, ToolButton /*button*/) {}
    virtual void PixelRestored(int32_t /*x*/, int32_t /*y*/) {}

    // The origin shift tool asks for the cyclic shift (a, b) of the image.
    virtual void OriginShiftRequested(int64_t /*a*/, int64_t /*b*/) {}

    // The marking being created after each pointer change (and on release, before its edges are
    // ordered), with Ctrl held or not; the spectrum editor squares it.
    virtual Marking CreatingMarking(const Marking& marking, bool /*ctrl*/) const { return marking; }
    // A moved marking that does not follow the pointer (the spectrum editor centres it with Ctrl);
    // none to follow the pointer.
    virtual std::optional<Marking> MovedMarkingOverride(const Marking& /*saved*/, bool /*ctrl*/) const {
        return std::nullopt;
    }

    // The read-out lines while a marking is created, while it is moved, and for the pointer.
    virtual ReadoutLines CreatingReadout(const Marking& marking) const {
        return MarkingCreationReadout(marking);
    }
    virtual ReadoutLines MovingReadout(const Marking& marking) const { return MarkingMoveReadout(marking); }
    virtual ReadoutLines PointerLines(const ViewState& view, const GrayBitmap* bitmap, int32_t x,
                                      int32_t y) const {
        return PointerReadout(view, bitmap, x, y);
    }
};

}  // namespace tarkemo::app
