// The main window's picture: the current bitmap zoomed and panned inside the window, the marking
// drawn as a frame over it, the wheel zooming at the window centre, the mouse tools and the pointer
// read-out for the InfoBox. All arithmetic lives in the engine's view geometry and the tool
// controller; this widget only paints and forwards events.
#pragma once

#include <QString>
#include <QWidget>

#include "app/view/tool_controller.h"
#include "app/view/view_painter.h"
#include "document/marking.h"
#include "document/readout_text.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo::app {

class ImageView : public QWidget, private ToolHost {
    Q_OBJECT

  public:
    explicit ImageView(QWidget* parent = nullptr);

    // The bitmap shown, owned by the document; nullptr means no document. Does not reset the view.
    void SetBitmap(const GrayBitmap* bitmap);
    const GrayBitmap* Bitmap() const { return bitmap_; }

    // After open, paste or import: step 0, displayed size = image size, centred, whole-image
    // marking, cross-hair cursor.
    void ResetForNewImage();
    // No document: displayed size 0 x 0, arrow cursor.
    void Clear();
    // The pixels or the colour table changed.
    void BitmapChanged();
    // The bitmap's size changed: displayed size recomputed for the current step, origin clamped.
    void BitmapResized();

    const ViewState& State() const { return state_; }
    ViewState& MutableState() { return state_; }

    const Marking& CurrentMarking() const { return marking_; }
    // Sets the marking and repaints (the frame follows at once).
    void SetMarking(const Marking& marking);

    // The wheel's zoom: one step in `direction` (+1 in, -1 out) at the window centre. False without
    // an image or at the limits.
    bool ZoomAtCentre(int direction);

    // True while the marking tool drags: paints then only exchange XOR rectangles.
    bool MarkingDragInProgress() const { return tools_.MarkingDrag(); }

    // The mouse tools of this view and the owner of the image they work for.
    ToolController& Tools() { return tools_; }
    const ToolController& Tools() const { return tools_; }
    void SetToolClient(ToolClient* client) { tools_.SetClient(client); }
    // Escape and Control for the tools; true when the key was used.
    bool ToolKeyDown(int qtKey);
    bool ToolKeyUp(int qtKey);
    // Shows `cursor` over the view.
    void ShowToolCursor(ToolCursor cursor);

    // The InfoBox lines for a pointer at window point (x, y), also sent as ReadoutChanged.
    void UpdateReadout(int x, int y);

    QSize sizeHint() const override;

  signals:
    void ReadoutChanged(const QString& xLine, const QString& yLine, const QString& grayLine);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    bool HasImage() const { return bitmap_ != nullptr && bitmap_->width > 0 && bitmap_->height > 0; }
    void EmitReadout(const ReadoutLines& lines);
    void PaintPicture(QPainter& painter, const QRegion& region);

    // ToolHost
    void RepaintView(bool withImage) override;
    void RepaintPixels(const TouchedArea& area) override;
    void ScrollView(int32_t dx, int32_t dy) override;
    void SetToolCursor(ToolCursor cursor) override { ShowToolCursor(cursor); }
    void ShowReadout(const ReadoutLines& lines) override { EmitReadout(lines); }

    const GrayBitmap* bitmap_ = nullptr;
    ViewState state_;
    Marking marking_;
    bool redrawImage_ = false;  // the next paint draws the picture even during a marking drag
    ToolCursor cursor_ = ToolCursor::kArrow;
    ViewPainter painter_;
    ToolController tools_{state_, marking_, *this};
};

}  // namespace tarkemo::app
