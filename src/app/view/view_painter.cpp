#include "app/view/view_painter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarkemo::app {
namespace {

// Screen colours of the 256 palette indices.
std::array<uint32_t, 256> ColourLookup(const ColourTable& table) {
    std::array<uint32_t, 256> lookup{};
    for (size_t i = 0; i < lookup.size(); ++i) {
        lookup[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    }
    return lookup;
}

std::array<uint8_t, 256> IdentityLookup() {
    std::array<uint8_t, 256> lookup{};
    for (size_t i = 0; i < lookup.size(); ++i) lookup[i] = static_cast<uint8_t>(i);
    return lookup;
}

// The part of the destination inside `clip`, computed in 64 bits before narrowing to a QRect.
QRect Intersect(const PaintRects& rects, const QRect& clip) {
    const int64_t left = std::max<int64_t>(rects.destX, clip.left());
    const int64_t top = std::max<int64_t>(rects.destY, clip.top());
    const int64_t right =
        std::min<int64_t>(rects.destX + rects.destWidth, static_cast<int64_t>(clip.right()) + 1);
    const int64_t bottom =
        std::min<int64_t>(rects.destY + rects.destHeight, static_cast<int64_t>(clip.bottom()) + 1);
    if (left >= right || top >= bottom) return {};
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

// Source index of destination offset `offset` when `sourceLength` pixels are stretched onto
// `destLength`: plain replication or dropping, no averaging.
int64_t SourceIndex(int64_t offset, int64_t sourceLength, int64_t destLength) {
    return offset * sourceLength / destLength;
}

// Fills one window-aligned rectangle in the painter's current composition mode, clipped to the
// device so far-away coordinates never reach Qt's integer geometry.
void FillClipped(QPainter& painter, int64_t left, int64_t top, int64_t right, int64_t bottom,
                 const QColor& colour) {
    const QRect device(0, 0, painter.device()->width(), painter.device()->height());
    left = std::max<int64_t>(left, device.left());
    top = std::max<int64_t>(top, device.top());
    right = std::min<int64_t>(right, device.right());
    bottom = std::min<int64_t>(bottom, device.bottom());
    if (left > right || top > bottom) return;
    painter.fillRect(QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left + 1),
                           static_cast<int>(bottom - top + 1)),
                     colour);
}

}  // namespace

void ViewPainter::PaintBackground(QPainter& painter, const ViewState& view) {
    const int64_t clientW = view.clientWidth;
    const int64_t clientH = view.clientHeight;
    const int64_t imageRight = static_cast<int64_t>(view.originX) + view.displayedWidth;
    const int64_t imageBottom = static_cast<int64_t>(view.originY) + view.displayedHeight;
    // Each margin only where it exists; inclusive edges for FillClipped.
    if (view.originX > 0) FillClipped(painter, 0, 0, view.originX - 1, clientH - 1, kViewBackground);
    if (imageRight < clientW) FillClipped(painter, imageRight, 0, clientW - 1, clientH - 1, kViewBackground);
    if (view.originY > 0) FillClipped(painter, 0, 0, clientW - 1, view.originY - 1, kViewBackground);
    if (imageBottom < clientH)
        FillClipped(painter, 0, imageBottom, clientW - 1, clientH - 1, kViewBackground);
}

template <typename Out>
void ViewPainter::ConvertRows(const GrayBitmap& bitmap, const PaintRects& rects, const QRect& visible,
                              const Out* lookup) {
    const int columns = visible.width();
    sourceColumns_.resize(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i) {
        const int64_t offset = visible.left() + i - rects.destX;
        sourceColumns_[static_cast<size_t>(i)] =
            static_cast<int32_t>(rects.sourceX + SourceIndex(offset, rects.sourceWidth, rects.destWidth));
    }
    const int32_t* sourceColumns = sourceColumns_.data();
    int64_t previousRow = -1;
    for (int line = 0; line < visible.height(); ++line) {
        const int64_t offset = visible.top() + line - rects.destY;
        const int64_t fromTop = rects.sourceY + SourceIndex(offset, rects.sourceHeight, rects.destHeight);
        auto* out = reinterpret_cast<Out*>(buffer_.scanLine(line));
        if (fromTop == previousRow) {
            // Enlarged images repeat each source row; copy the line converted just before.
            std::memcpy(out, buffer_.constScanLine(line - 1), sizeof(Out) * static_cast<size_t>(columns));
            continue;
        }
        previousRow = fromTop;
        const uint8_t* source = bitmap.Row(static_cast<int32_t>(bitmap.height - 1 - fromTop));
        for (int i = 0; i < columns; ++i) out[i] = lookup[source[sourceColumns[i]]];
    }
}

void ViewPainter::PaintImage(QPainter& painter, const ViewState& view, const GrayBitmap& bitmap,
                             const QRect& clip) {
    const PaintRects rects = ComputePaintRects(view, bitmap.width, bitmap.height);
    if (rects.sourceWidth <= 0 || rects.sourceHeight <= 0 || rects.destWidth <= 0 || rects.destHeight <= 0)
        return;
    const QRect visible = Intersect(rects, clip);
    if (visible.isEmpty()) return;

    const QImage::Format format =
        format_ == ConversionFormat::Rgb32 ? QImage::Format_RGB32 : QImage::Format_Indexed8;
    if (buffer_.size() != visible.size() || buffer_.format() != format) {
        buffer_ = QImage(visible.size(), format);
        if (buffer_.isNull()) return;  // no memory for the screen copy: leave the area as it is
    }
    if (format_ == ConversionFormat::Rgb32) {
        const std::array<uint32_t, 256> lookup = ColourLookup(bitmap.colours);
        ConvertRows(bitmap, rects, visible, lookup.data());
    } else {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = qRgb(bitmap.colours[i].red, bitmap.colours[i].green, bitmap.colours[i].blue);
        buffer_.setColorTable(table);
        const std::array<uint8_t, 256> lookup = IdentityLookup();
        ConvertRows(bitmap, rects, visible, lookup.data());
    }
    painter.drawImage(visible.topLeft(), buffer_);
}

void ViewPainter::DrawMarkingRectangle(QPainter& painter, const ViewState& view, const GrayBitmap& bitmap,
                                       const Marking& marking, bool xorMode) {
    const std::optional<FrameCorners> frame = MarkingFrame(view, bitmap.width, bitmap.height, marking);
    if (!frame) return;
    painter.save();
    painter.setCompositionMode(xorMode ? QPainter::RasterOp_SourceXorDestination
                                       : QPainter::CompositionMode_SourceOver);
    const auto [x1, y1, x2, y2] = *frame;
    // Four edges that share no pixel, so a XOR frame inverts each outline pixel exactly once.
    FillClipped(painter, x1, y1, x2, y1, kMarkingPen);
    if (y2 != y1) FillClipped(painter, x1, y2, x2, y2, kMarkingPen);
    if (y2 - y1 > 1) {
        FillClipped(painter, x1, y1 + 1, x1, y2 - 1, kMarkingPen);
        if (x2 != x1) FillClipped(painter, x2, y1 + 1, x2, y2 - 1, kMarkingPen);
    }
    painter.restore();
}

}  // namespace tarkemo::app
