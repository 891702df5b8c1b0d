// Mirroring and rotating the whole image, and moving the marked rectangle along with it.
// Left, right and the sense of rotation are meant as seen on screen, where row 0 is the bottom.
#pragma once

#include <cstdint>
#include <optional>

#include "document/marking.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

// Pixel (x, y) and (W - 1 - x, y) trade places, in place. Cannot fail.
void MirrorLeftRight(GrayBitmap& bitmap);

// Rows y and H - 1 - y trade places, in place. Cannot fail.
void MirrorTopBottom(GrayBitmap& bitmap);

// Pixel (x, y) and (W - 1 - x, H - 1 - y) trade places, in place; a point reflection at the
// image centre. Cannot fail.
void Rotate180(GrayBitmap& bitmap);

// A new H-wide, W-high bitmap turned 90 degrees counter-clockwise: old (x, y) lands on (H - 1 - y, x).
// Colour table and resolution are kept. None when the new bitmap cannot be allocated.
std::optional<GrayBitmap> RotatedLeft(const GrayBitmap& bitmap);

// The same turned clockwise: old (x, y) lands on (y, W - 1 - x).
std::optional<GrayBitmap> RotatedRight(const GrayBitmap& bitmap);

// Replace `bitmap` by its rotated form; false, changing nothing, when memory is short.
bool RotateLeft(GrayBitmap& bitmap);
bool RotateRight(GrayBitmap& bitmap);

// The marking after the matching image transform; width and height are those of the image
// before the transform. The marking's edges are moved with the pixels they enclose.
Marking MirrorMarkingLeftRight(const Marking& marking, int32_t width, int32_t height);
Marking MirrorMarkingTopBottom(const Marking& marking, int32_t width, int32_t height);
Marking RotateMarking180(const Marking& marking, int32_t width, int32_t height);
Marking RotateMarkingLeft(const Marking& marking, int32_t width, int32_t height);
Marking RotateMarkingRight(const Marking& marking, int32_t width, int32_t height);

}  // namespace tarkemo
