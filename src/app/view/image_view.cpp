#include "app/view/image_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>

#include "app/resources/cursors.h"

namespace tarkemo::app {
namespace {

std::optional<ToolButton> ButtonOf(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return ToolButton::kLeft;
    if (button == Qt::RightButton) return ToolButton::kRight;
    return std::nullopt;
}

bool CtrlHeld(const QInputEvent* event) {
    return event->modifiers().testFlag(Qt::ControlModifier);
}

std::optional<ToolKey> KeyOf(int qtKey) {
    if (qtKey == Qt::Key_Escape) return ToolKey::kEscape;
    if (qtKey == Qt::Key_Control) return ToolKey::kControl;
    return std::nullopt;
}

}  // namespace

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    // Every paint covers the whole area itself (margins and image), and the XOR rubber band needs
    // the previous picture to stay in place; panning scrolls the picture and paints only the strips.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    state_.clientWidth = width();
    state_.clientHeight = height();
}

void ImageView::SetBitmap(const GrayBitmap* bitmap) {
    bitmap_ = bitmap;
    tools_.SetBitmap(bitmap);
    update();
}

void ImageView::ResetForNewImage() {
    if (!HasImage()) {
        Clear();
        return;
    }
    tools_.Abort();
    ResetViewForImage(state_, bitmap_->width, bitmap_->height);
    marking_ = WholeImageMarking(bitmap_->width, bitmap_->height);
    state_.previousRect = marking_;
    state_.rubberBandShown = false;
    ShowToolCursor(ToolCursor::kCross);
    update();
}

void ImageView::Clear() {
    tools_.Abort();
    ClearView(state_);
    state_.rubberBandShown = false;
    ShowToolCursor(ToolCursor::kArrow);
    update();
}

void ImageView::BitmapChanged() {
    update();
}

void ImageView::BitmapResized() {
    tools_.Abort();
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

bool ImageView::ToolKeyDown(int qtKey) {
    const std::optional<ToolKey> key = KeyOf(qtKey);
    return key && tools_.KeyDown(*key);
}

bool ImageView::ToolKeyUp(int qtKey) {
    const std::optional<ToolKey> key = KeyOf(qtKey);
    return key && tools_.KeyUp(*key);
}

void ImageView::ShowToolCursor(ToolCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    switch (cursor) {
        case ToolCursor::kArrow:
            setCursor(Qt::ArrowCursor);
            break;
        case ToolCursor::kCross:
            setCursor(Qt::CrossCursor);
            break;
        case ToolCursor::kOpenHand:
            setCursor(Qt::OpenHandCursor);
            break;
        case ToolCursor::kClosedHand:
            setCursor(Qt::ClosedHandCursor);
            break;
        case ToolCursor::kZoomGlass:
            setCursor(ZoomGlassCursor());
            break;
    }
}

QSize ImageView::sizeHint() const {
    return QSize(640, 480);
}

void ImageView::UpdateReadout(int x, int y) {
    EmitReadout(tools_.Readout(x, y));
}

void ImageView::EmitReadout(const ReadoutLines& lines) {
    emit ReadoutChanged(QString::fromStdString(lines.xLine), QString::fromStdString(lines.yLine),
                        QString::fromStdString(lines.grayLine));
}

// -- ToolHost -------------------------------------------------------------------------------------

void ImageView::RepaintView(bool withImage) {
    if (withImage) redrawImage_ = true;
    update();
}

void ImageView::RepaintPixels(const TouchedArea& area) {
    if (area.Empty() || !HasImage()) return;
    const int64_t left = WindowXOfColumn(state_, bitmap_->width, bitmap_->height, area.left);
    const int64_t right = WindowXOfColumn(state_, bitmap_->width, bitmap_->height, int64_t{area.right} + 1);
    const int64_t top = WindowYOfRowTop(state_, bitmap_->width, bitmap_->height, area.top);
    const int64_t bottom = WindowYOfRowTop(state_, bitmap_->width, bitmap_->height, int64_t{area.bottom} - 1);
    // One window pixel more on every side covers the truncation of a reduced view.
    const int64_t x1 = std::clamp<int64_t>(left - 1, 0, width());
    const int64_t x2 = std::clamp<int64_t>(right + 1, 0, width());
    const int64_t y1 = std::clamp<int64_t>(top - 1, 0, height());
    const int64_t y2 = std::clamp<int64_t>(bottom + 1, 0, height());
    if (x1 >= x2 || y1 >= y2) return;
    update(QRect(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2 - x1),
                 static_cast<int>(y2 - y1)));
}

void ImageView::ScrollView(int32_t dx, int32_t dy) {
    scroll(dx, dy);
}

// -- painting -------------------------------------------------------------------------------------

void ImageView::PaintPicture(QPainter& painter, const QRegion& region) {
    ViewPainter::PaintBackground(painter, state_);
    for (const QRect& part : region) painter_.PaintImage(painter, state_, *bitmap_, part);
}

void ImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!HasImage()) {
        painter.fillRect(rect(), kViewBackground);
        return;
    }
    const bool drag = tools_.MarkingDrag();
    const bool wholeWindow = (QRegion(rect()) - event->region()).isEmpty();
    if (drag && !redrawImage_ && !wholeWindow) {
        // Part of the window was uncovered during a drag: its picture and the XOR frame on screen.
        PaintPicture(painter, event->region());
        ViewPainter::DrawMarkingRectangle(painter, state_, *bitmap_, state_.previousRect, true);
        return;
    }
    const bool whole = IsWholeImage(state_.previousRect, bitmap_->width, bitmap_->height);
    if (state_.rubberBandShown && !whole) {
        // Remove the XOR frame still on screen (outside a drag the image is redrawn over it anyway).
        ViewPainter::DrawMarkingRectangle(painter, state_, *bitmap_, state_.previousRect, true);
    }
    if (!drag || redrawImage_) PaintPicture(painter, event->region());
    ViewPainter::DrawMarkingRectangle(painter, state_, *bitmap_, marking_, drag);
    if (drag) state_.previousRect = marking_;
    state_.rubberBandShown = false;
    redrawImage_ = false;
}

// -- events ---------------------------------------------------------------------------------------

void ImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (ResizeClient(state_, event->size().width(), event->size().height(), HasImage())) update();
}

void ImageView::wheelEvent(QWheelEvent* event) {
    const int rotation = event->angleDelta().y();
    // After a zoom another pixel lies under the pointer, so the read-out follows without a move.
    // A drag keeps the geometry it started with.
    if (rotation != 0 && !tools_.DragInProgress() && ZoomAtCentre(rotation > 0 ? 1 : -1)) {
        const QPoint position = event->position().toPoint();
        UpdateReadout(position.x(), position.y());
    }
    event->accept();
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    const std::optional<ToolButton> button = ButtonOf(event->button());
    const QPoint position = event->position().toPoint();
    if (button) tools_.MouseDown(*button, position.x(), position.y(), CtrlHeld(event));
    event->accept();
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    tools_.MouseMove(position.x(), position.y(), CtrlHeld(event));
    event->accept();
}

void ImageView::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<ToolButton> button = ButtonOf(event->button());
    const QPoint position = event->position().toPoint();
    if (button) tools_.MouseUp(*button, position.x(), position.y(), CtrlHeld(event));
    event->accept();
}

void ImageView::leaveEvent(QEvent* event) {
    // A drag keeps its own read-out while the pointer is outside the window.
    if (!tools_.DragInProgress()) {
        EmitReadout(ReadoutText(HasImage() ? ReadoutSituation::Outside : ReadoutSituation::NoImage, {}));
    }
    QWidget::leaveEvent(event);
}

bool ImageView::event(QEvent* event) {
    // A window that loses the activation loses the mouse: the drag ends where the pointer was last.
    // The window passes its deactivation on to every visible child.
    if (event->type() == QEvent::WindowDeactivate) tools_.CaptureLost();
    return QWidget::event(event);
}

}  // namespace tarkemo::app
