// The system clipboard in the program's image format. Copying offers the image twice: as
// "image/bmp" (a BMP file: 14-byte file header followed by the packed DIB) and as a plain 8-bit
// indexed image for programs that want pixels. Pasting prefers "image/bmp"; otherwise an 8-bit
// indexed or grayscale image from another program is turned into a packed DIB. Anything else
// (24 or 32 bits per pixel) is refused.
#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>
#include <span>
#include <vector>

#include "document/marking.h"
#include "image/bmp_file.h"
#include "image/packed_dib.h"

class QMimeData;

namespace tarkemo::app {

inline constexpr const char* kBmpMimeType = "image/bmp";

// What the clipboard offers, for the menu state.
struct ClipboardInfo {
    bool hasImage = false;  // an image of any kind
    DibSize size;           // width and signed height of an 8-bit image, else 0 x 0
};

// The BMP file of a packed DIB: the 14-byte file header put in front of it.
QByteArray BmpFileFromPackedDib(std::span<const uint8_t> dib);

// The 8-bit indexed QImage of a packed DIB as this program writes it (top row first); a null image
// when the block cannot be decoded.
QImage IndexedImageFromPackedDib(std::span<const uint8_t> dib);

// A packed DIB (40-byte header, 256-entry table, bottom-up rows) of an 8-bit indexed or grayscale
// image; none for any other format.
std::optional<std::vector<uint8_t>> PackedDibFromImage(const QImage& image);

// The clipboard contents for the marked rectangle of `bitmap`; nullptr when the rectangle does not
// lie inside the bitmap or memory is short.
QMimeData* MimeDataForMarking(const GrayBitmap& bitmap, const Marking& marking);

// The image of clipboard contents: "image/bmp" first, then an 8-bit indexed or grayscale image.
std::optional<LoadedBitmap> BitmapFromMimeData(const QMimeData* data);

// Size and presence of an image in clipboard contents, from the same sources as BitmapFromMimeData.
// `withSize` false skips decoding a foreign image when only its presence is needed.
ClipboardInfo InfoFromMimeData(const QMimeData* data, bool withSize = true);

// The same three operations on the system clipboard.
bool CopyToClipboard(const GrayBitmap& bitmap, const Marking& marking);
std::optional<LoadedBitmap> PasteFromClipboard();
ClipboardInfo ClipboardImageInfo(bool withSize = true);

}  // namespace tarkemo::app
