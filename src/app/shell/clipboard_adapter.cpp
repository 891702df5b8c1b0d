#include "app/shell/clipboard_adapter.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <cstring>
#include <new>

#include "image/memory_limits.h"

namespace tarkemo::app {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kTableBytes = 256 * 4;

void PutLe16(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetLe32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

std::span<const uint8_t> BytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

// The packed DIB inside a BMP file, or an empty span when the bytes are not a BMP file.
std::span<const uint8_t> DibOfBmpFile(std::span<const uint8_t> file) {
    if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M') return {};
    return file.subspan(kFileHeaderSize);
}

QImage ImageOf(const QMimeData* data) {
    if (data == nullptr || !data->hasImage()) return {};
    return qvariant_cast<QImage>(data->imageData());
}

bool IsEightBit(QImage::Format format) {
    return format == QImage::Format_Indexed8 || format == QImage::Format_Grayscale8;
}

bool IsEightBit(const QImage& image) {
    return IsEightBit(image.format());
}

// The size of a foreign image as an 8-bit image (0 x 0 for any other), read from the header of
// the first encoded image that the contents offer. The window asks on every clipboard change, and
// decoding a large picture each time would stall it. None when no encoded image can be read.
std::optional<DibSize> SizeFromImageHeader(const QMimeData* data) {
    for (const QString& format : data->formats()) {
        if (!format.startsWith("image/") || format == kBmpMimeType) continue;
        QByteArray bytes = data->data(format);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        if (!reader.canRead()) continue;
        const QSize size = reader.size();
        if (!IsEightBit(reader.imageFormat()) || !size.isValid()) return DibSize{};
        return DibSize{size.width(), size.height()};
    }
    return std::nullopt;
}

void WriteDibHeader(uint8_t* out, const QImage& image, uint32_t stride) {
    PutLe32(out, kInfoHeaderSize);
    PutLe32(out + 4, static_cast<uint32_t>(image.width()));
    PutLe32(out + 8, static_cast<uint32_t>(image.height()));
    PutLe16(out + 12, 1);
    PutLe16(out + 14, 8);
    PutLe32(out + 16, 0);
    PutLe32(out + 20, stride * static_cast<uint32_t>(image.height()));
    PutLe32(out + 24, static_cast<uint32_t>(image.dotsPerMeterX()));
    PutLe32(out + 28, static_cast<uint32_t>(image.dotsPerMeterY()));
    PutLe32(out + 32, 256);
    PutLe32(out + 36, 0);
}

// Entries the image lacks (a short indexed table, or any grayscale image) are the gray ramp.
void WriteDibTable(uint8_t* out, const QImage& image) {
    const QList<QRgb> table = image.format() == QImage::Format_Indexed8 ? image.colorTable() : QList<QRgb>{};
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < table.size() ? table[i] : qRgb(i, i, i);
        uint8_t* entry = out + 4 * i;
        entry[0] = static_cast<uint8_t>(qBlue(colour));
        entry[1] = static_cast<uint8_t>(qGreen(colour));
        entry[2] = static_cast<uint8_t>(qRed(colour));
        entry[3] = 0;
    }
}

}  // namespace

QByteArray BmpFileFromPackedDib(std::span<const uint8_t> dib) {
    if (dib.size() < kInfoHeaderSize) return {};
    const uint32_t headerSize = GetLe32(dib, 0);
    const uint32_t coloursUsed = GetLe32(dib, 32);
    const uint32_t pixelOffset = kFileHeaderSize + headerSize + 4 * (coloursUsed == 0 ? 256 : coloursUsed);
    QByteArray file(static_cast<qsizetype>(kFileHeaderSize + dib.size()), '\0');
    auto* out = reinterpret_cast<uint8_t*>(file.data());
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out + 2, static_cast<uint32_t>(file.size()));
    PutLe32(out + 10, pixelOffset);
    std::memcpy(out + kFileHeaderSize, dib.data(), dib.size());
    return file;
}

QImage IndexedImageFromPackedDib(std::span<const uint8_t> dib) {
    const std::optional<LoadedBitmap> loaded = DecodePackedDib(dib);
    if (!loaded) return {};
    const GrayBitmap& bitmap = loaded->bitmap;
    QImage image(bitmap.width, bitmap.height, QImage::Format_Indexed8);
    if (image.isNull()) return {};
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i) {
        table[i] = qRgb(bitmap.colours[i].red, bitmap.colours[i].green, bitmap.colours[i].blue);
    }
    image.setColorTable(table);
    image.setDotsPerMeterX(bitmap.xPelsPerMeter);
    image.setDotsPerMeterY(bitmap.yPelsPerMeter);
    for (int32_t row = 0; row < bitmap.height; ++row) {
        std::memcpy(image.scanLine(bitmap.height - 1 - row), bitmap.Row(row),
                    static_cast<size_t>(bitmap.width));
    }
    return image;
}

std::optional<std::vector<uint8_t>> PackedDibFromImage(const QImage& image) {
    if (!IsEightBit(image) || !BitmapSizeAllowed(image.width(), image.height())) return std::nullopt;
    const auto stride = static_cast<size_t>(StrideFor(image.width()));
    const size_t pixelOffset = kInfoHeaderSize + kTableBytes;
    const size_t total = pixelOffset + stride * static_cast<size_t>(image.height());
    if (!AllocationFits(total)) return std::nullopt;
    try {
        std::vector<uint8_t> block(total, 0);
        WriteDibHeader(block.data(), image, static_cast<uint32_t>(stride));
        WriteDibTable(block.data() + kInfoHeaderSize, image);
        for (int row = 0; row < image.height(); ++row) {
            std::memcpy(block.data() + pixelOffset + static_cast<size_t>(row) * stride,
                        image.constScanLine(image.height() - 1 - row), static_cast<size_t>(image.width()));
        }
        return block;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

QMimeData* MimeDataForMarking(const GrayBitmap& bitmap, const Marking& marking) {
    const Marking m = OrderedMarking(marking);
    const std::vector<uint8_t> dib = EncodePackedDib(bitmap, m.left, m.top, m.right, m.bottom);
    if (dib.empty()) return nullptr;
    const QByteArray file = BmpFileFromPackedDib(dib);
    const QImage image = IndexedImageFromPackedDib(dib);
    if (file.isEmpty() || image.isNull()) return nullptr;
    auto* data = new QMimeData;
    data->setData(kBmpMimeType, file);
    data->setImageData(image);
    return data;
}

std::optional<LoadedBitmap> BitmapFromMimeData(const QMimeData* data) {
    if (data == nullptr) return std::nullopt;
    // A bitmap offered as BMP is judged by the BMP reader's rules alone: a refused one (RLE,
    // 24 bits) must not slip in through Qt's more lenient image decoding.
    if (data->hasFormat(kBmpMimeType)) return DecodeBmp(BytesOf(data->data(kBmpMimeType)));
    const std::optional<std::vector<uint8_t>> dib = PackedDibFromImage(ImageOf(data));
    if (!dib) return std::nullopt;
    return DecodePackedDib(*dib);
}

ClipboardInfo InfoFromMimeData(const QMimeData* data, bool withSize) {
    ClipboardInfo info;
    if (data == nullptr) return info;
    const bool hasBmp = data->hasFormat(kBmpMimeType);
    info.hasImage = hasBmp || data->hasImage();
    if (!info.hasImage || !withSize) return info;
    if (hasBmp) {
        const QByteArray file = data->data(kBmpMimeType);
        info.size = PackedDibSize(DibOfBmpFile(BytesOf(file)));
        return info;
    }
    if (const std::optional<DibSize> size = SizeFromImageHeader(data)) {
        info.size = *size;
        return info;
    }
    const QImage image = ImageOf(data);
    if (IsEightBit(image)) info.size = DibSize{image.width(), image.height()};
    return info;
}

bool CopyToClipboard(const GrayBitmap& bitmap, const Marking& marking) {
    QMimeData* data = MimeDataForMarking(bitmap, marking);
    if (data == nullptr) return false;
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

std::optional<LoadedBitmap> PasteFromClipboard() {
    return BitmapFromMimeData(QGuiApplication::clipboard()->mimeData());
}

ClipboardInfo ClipboardImageInfo(bool withSize) {
    return InfoFromMimeData(QGuiApplication::clipboard()->mimeData(), withSize);
}

}  // namespace tarkemo::app
