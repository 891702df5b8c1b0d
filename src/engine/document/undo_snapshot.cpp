#include "document/undo_snapshot.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "image/memory_limits.h"

namespace tarkemo {

namespace {

// Menu texts carry "&" mnemonics and "..." of dialog commands; the undo entry shows neither.
std::optional<std::string> CleanName(std::string_view name) {
    try {
        std::string clean;
        clean.reserve(name.size());
        for (char c : name) {
            if (c != '&' && c != '.') clean.push_back(c);
        }
        return clean;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool HasPixels(const GrayBitmap& bitmap) {
    return bitmap.width > 0 && bitmap.height > 0 && bitmap.pixels.size() >= bitmap.ByteCount();
}

// Makes room for the bitmap's pixels, reusing the buffer when the sizes are those recorded.
bool PrepareBuffer(UndoSnapshot& snapshot, const GrayBitmap& bitmap) {
    if (snapshot.width == bitmap.width && snapshot.stride == bitmap.stride &&
        snapshot.height == bitmap.height && snapshot.pixels.size() == bitmap.ByteCount()) {
        return true;
    }
    std::vector<uint8_t>().swap(snapshot.pixels);
    if (!AllocationFits(bitmap.ByteCount())) return false;
    try {
        snapshot.pixels.resize(bitmap.ByteCount());
    } catch (const std::bad_alloc&) {
        return false;
    }
    snapshot.width = bitmap.width;
    snapshot.stride = bitmap.stride;
    snapshot.height = bitmap.height;
    return true;
}

bool Record(UndoSnapshot& snapshot, const GrayBitmap& bitmap, const uint8_t* pixels, std::string_view name) {
    const uint64_t recorded = snapshot.imageContent;
    NoteImageChanged(snapshot);
    ReadColourTable(bitmap, snapshot.colours);
    snapshot.undone = false;
    if (!HasPixels(bitmap) || pixels == nullptr || !PrepareBuffer(snapshot, bitmap)) {
        DiscardUndo(snapshot);
        return false;
    }
    std::memcpy(snapshot.pixels.data(), pixels, bitmap.ByteCount());
    snapshot.recordedContent = recorded;
    snapshot.name = CleanName(name);
    return true;
}

// Exchanges the two buffers through a temporary copy, or byte by byte when none can be had.
void ExchangePixels(uint8_t* a, uint8_t* b, size_t count) {
    try {
        std::vector<uint8_t> aside(a, a + count);
        std::memcpy(a, b, count);
        std::memcpy(b, aside.data(), count);
    } catch (const std::bad_alloc&) {
        std::swap_ranges(a, a + count, b);
    }
}

}  // namespace

uint64_t NewContentIdentity() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void NoteImageChanged(UndoSnapshot& snapshot) {
    snapshot.imageContent = NewContentIdentity();
}

bool TakeUndoSnapshot(UndoSnapshot& snapshot, const GrayBitmap& bitmap, std::string_view name) {
    return Record(snapshot, bitmap, bitmap.pixels.data(), name);
}

bool TakeUndoSnapshot(UndoSnapshot& snapshot, const GrayBitmap& bitmap, const uint8_t* pixelCopy,
                      std::string_view name) {
    return Record(snapshot, bitmap, pixelCopy, name);
}

bool SnapshotMatches(const UndoSnapshot& snapshot, const GrayBitmap* bitmap) {
    return bitmap != nullptr && !snapshot.pixels.empty() && snapshot.width == bitmap->width &&
           snapshot.stride == bitmap->stride && snapshot.height == bitmap->height &&
           bitmap->pixels.size() >= snapshot.pixels.size();
}

bool SwapUndo(UndoSnapshot& snapshot, GrayBitmap& bitmap) {
    if (!SnapshotMatches(snapshot, &bitmap)) return false;
    ColourTable aside;
    ReadColourTable(bitmap, aside);
    WriteColourTable(bitmap, snapshot.colours);
    snapshot.colours = aside;
    ExchangePixels(bitmap.pixels.data(), snapshot.pixels.data(), snapshot.pixels.size());
    std::swap(snapshot.imageContent, snapshot.recordedContent);
    snapshot.undone = !snapshot.undone;
    return true;
}

void DiscardUndo(UndoSnapshot& snapshot) {
    std::vector<uint8_t>().swap(snapshot.pixels);
    snapshot.name.reset();
    snapshot.width = 0;
    snapshot.stride = 0;
    snapshot.height = 0;
    snapshot.colours = GrayRampTable();
    snapshot.undone = false;
    snapshot.recordedContent = 0;
    NoteImageChanged(snapshot);
}

std::string UndoMenuText(const UndoSnapshot& snapshot, const GrayBitmap* bitmap) {
    std::string text;
    if (SnapshotMatches(snapshot, bitmap)) {
        text = snapshot.undone ? "Wiederhe&rstellen: " : "&Rückgängig: ";
        text += snapshot.name.value_or(std::string());
    } else {
        text = "&Rückgängig";
    }
    return text + "\tStrg+Z";
}

}  // namespace tarkemo
