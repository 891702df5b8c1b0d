// Painting of the image view: the margins around the displayed image, the visible part of the
// bitmap stretched by plain pixel replication through its colour table, and the marking frame in
// copy or XOR mode. Kept apart from the widget so the benchmark paints into an offscreen image.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <vector>

#include "document/marking.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo::app {

// The window background: the margins around the image and the whole window without one.
inline const QColor kViewBackground{128, 128, 128};
// The marking frame's pen.
inline const QColor kMarkingPen{64, 64, 255};

// How the visible part is converted before it is drawn.
enum class ConversionFormat {
    Rgb32,     // colours looked up while converting; drawn without further conversion
    Indexed8,  // palette indices with the colour table; Qt converts while drawing
};

class ViewPainter {
  public:
    // Fills the margins of the client area that the displayed image leaves free.
    static void PaintBackground(QPainter& painter, const ViewState& view);

    // Draws the part of the bitmap that lies inside both the destination of ComputePaintRects and
    // `clip` (window coordinates; the client area or the part of it being repainted).
    void PaintImage(QPainter& painter, const ViewState& view, const GrayBitmap& bitmap, const QRect& clip);

    // The frame of a marking that is not the whole image; in XOR mode drawing it twice restores the
    // picture. Every outline pixel is touched once, corners included.
    static void DrawMarkingRectangle(QPainter& painter, const ViewState& view, const GrayBitmap& bitmap,
                                     const Marking& marking, bool xorMode);

    void SetConversionFormat(ConversionFormat format) { format_ = format; }

  private:
    template <typename Out>
    void ConvertRows(const GrayBitmap& bitmap, const PaintRects& rects, const QRect& visible,
                     const Out* lookup);

    ConversionFormat format_ = ConversionFormat::Rgb32;
    QImage buffer_;                       // reused between paints of the same visible size
    std::vector<int32_t> sourceColumns_;  // source column of each visible window column
};

}  // namespace tarkemo::app
