// The main window's picture: the current bitmap zoomed and panned inside the window, the marking
// drawn as a frame over it, the wheel zooming at the window centre and the pointer read-out for
// the InfoBox. All arithmetic lives in the engine's view geometry; this widget only paints and
// forwards events.
#pragma once

#include <QString>
#include <QWidget>

#include "app/view/view_painter.h"
#include "document/marking.h"
#include "document/readout_text.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo::app {

class ImageView : public QWidget {
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

    // Set by the marking tool while it drags: paints then only exchange XOR rectangles. The tool
    // sets State().rubberBandShown before requesting a repaint.
    void SetMarkingDragInProgress(bool dragging);
    bool MarkingDragInProgress() const { return markingDrag_; }

    // The InfoBox lines for a pointer at window point (x, y), also sent as ReadoutChanged.
    void UpdateReadout(int x, int y);

    QSize sizeHint() const override;

  signals:
    void ReadoutChanged(const QString& xLine, const QString& yLine, const QString& grayLine);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    bool HasImage() const { return bitmap_ != nullptr && bitmap_->width > 0 && bitmap_->height > 0; }
    void EmitReadout(const ReadoutLines& lines);

    const GrayBitmap* bitmap_ = nullptr;
    ViewState state_;
    Marking marking_;
    bool markingDrag_ = false;
    ViewPainter painter_;
};

}  // namespace tarkemo::app
