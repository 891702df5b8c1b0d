#include "app/view/image_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QWheelEvent>

namespace tarkemo::app {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    // Every paint covers the whole area itself (margins and image), and the XOR rubber band needs
    // the previous picture to stay in place.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    state_.clientWidth = width();
    state_.clientHeight = height();
}

void ImageView::SetBitmap(const GrayBitmap* bitmap) {
    bitmap_ = bitmap;
    update();
}

void ImageView::ResetForNewImage() {
    if (!HasImage()) {
        Clear();
        return;
    }
    ResetViewForImage(state_, bitmap_->width, bitmap_->height);
    marking_ = WholeImageMarking(bitmap_->width, bitmap_->height);
    state_.previousRect = marking_;
    state_.rubberBandShown = false;
    markingDrag_ = false;
    setCursor(Qt::CrossCursor);
    update();
}

void ImageView::Clear() {
    ClearView(state_);
    state_.rubberBandShown = false;
    markingDrag_ = false;
    setCursor(Qt::ArrowCursor);
    update();
}

void ImageView::BitmapChanged() {
    update();
}

void ImageView::BitmapResized() {
    if (!HasImage()) {
        Clear();
        return;
    }
    UpdateDisplayedSize(state_, bitmap_->width, bitmap_->height);
    ClampOrigin(state_);
    update();
}

void ImageView::SetMarking(const Marking& marking) {
    marking_ = marking;
    update();
}

bool ImageView::ZoomAtCentre(int direction) {
    if (!HasImage()) return false;
    if (!ZoomAt(state_, bitmap_->width, bitmap_->height, direction, state_.clientWidth / 2,
                state_.clientHeight / 2)) {
        return false;
    }
    update();
    return true;
}

void ImageView::SetMarkingDragInProgress(bool dragging) {
    markingDrag_ = dragging;
}

QSize ImageView::sizeHint() const {
    return QSize(640, 480);
}

void ImageView::UpdateReadout(int x, int y) {
    EmitReadout(PointerReadout(state_, bitmap_, x, y));
}

void ImageView::EmitReadout(const ReadoutLines& lines) {
    emit ReadoutChanged(QString::fromStdString(lines.xLine), QString::fromStdString(lines.yLine),
                        QString::fromStdString(lines.grayLine));
}

void ImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!HasImage()) {
        painter.fillRect(rect(), kViewBackground);
        return;
    }
    const bool whole = IsWholeImage(state_.previousRect, bitmap_->width, bitmap_->height);
    if (state_.rubberBandShown && !whole) {
        // Remove the XOR frame still on screen (outside a drag the image is redrawn over it anyway).
        ViewPainter::DrawMarkingRectangle(painter, state_, *bitmap_, state_.previousRect, true);
    }
    if (!markingDrag_) {
        ViewPainter::PaintBackground(painter, state_);
        painter_.PaintImage(painter, state_, *bitmap_, event->rect());
    }
    ViewPainter::DrawMarkingRectangle(painter, state_, *bitmap_, marking_, markingDrag_);
    if (markingDrag_) state_.previousRect = marking_;
    state_.rubberBandShown = false;
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (ResizeClient(state_, event->size().width(), event->size().height(), HasImage())) update();
}

void ImageView::wheelEvent(QWheelEvent* event) {
    const int rotation = event->angleDelta().y();
    // After a zoom another pixel lies under the pointer, so the read-out follows without a move.
    if (rotation != 0 && ZoomAtCentre(rotation > 0 ? 1 : -1)) {
        const QPoint position = event->position().toPoint();
        UpdateReadout(position.x(), position.y());
    }
    event->accept();
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (!HasImage()) setCursor(Qt::ArrowCursor);
    UpdateReadout(position.x(), position.y());
    QWidget::mouseMoveEvent(event);
}

void ImageView::leaveEvent(QEvent* event) {
    if (HasImage()) {
        EmitReadout(ReadoutText(ReadoutSituation::Outside, {}));
    } else {
        EmitReadout(ReadoutText(ReadoutSituation::NoImage, {}));
    }
    QWidget::leaveEvent(event);
}

}  // namespace tarkemo::app
