// The picture in the palette editor's drawing square: a white square framed in black, the histogram
// as bars in (100, 100, 255) rising from the bottom, the mapping curve as one black pixel per old
// value, and the marked colour range inverted. Rendered one image pixel per logical pixel and drawn
// without smoothing, so it stays crisp at any device-pixel ratio.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "document/palette_mapping.h"
#include "image/gray_histogram.h"

namespace tarkemo::app {

// The square with its frame in dialog client coordinates: (9, 9) to (266, 266).
inline constexpr QRect kPaletteSquareFrame{9, 9, 258, 258};
inline const QColor kHistogramBar{100, 100, 255};

// The framed square as an image of kPaletteSquareFrame's size: image pixel (x, y) is client pixel
// (x + 9, y + 9).
QImage RenderPaletteSquare(const GrayLevels& mapping, const GrayHistogram& histogram,
                           const ColourRange& range);

}  // namespace tarkemo::app
