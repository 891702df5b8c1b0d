// One level of undo and redo: a copy of pixels and colour table taken before a command
// changes them, exchanged with the image on every undo.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/gray_bitmap.h"

namespace tarkemo {

struct UndoSnapshot {
    int32_t width = 0;
    int32_t stride = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;  // empty while there is no snapshot
    ColourTable colours = GrayRampTable();
    std::optional<std::string> name;  // the operation's name without "&" and "."
    bool undone = false;
};

// Records the bitmap's colour table and pixels under `name`. False (and the snapshot discarded)
// when no memory was available for the pixels.
bool TakeUndoSnapshot(UndoSnapshot& snapshot, const GrayBitmap& bitmap, std::string_view name);

// As above, but the pixels come from `pixelCopy`, a buffer of bitmap.ByteCount() bytes kept from before
// the change; the colour table is the bitmap's.
bool TakeUndoSnapshot(UndoSnapshot& snapshot, const GrayBitmap& bitmap, const uint8_t* pixelCopy,
                      std::string_view name);

// True when `bitmap` is given, a snapshot exists and width, stride and height match.
bool SnapshotMatches(const UndoSnapshot& snapshot, const GrayBitmap* bitmap);

// Exchanges colour table and pixels with the snapshot when it matches and flips `undone`.
bool SwapUndo(UndoSnapshot& snapshot, GrayBitmap& bitmap);

// Releases the snapshot: sizes 0, no pixels, no name, gray-ramp table, undone false.
void DiscardUndo(UndoSnapshot& snapshot);

// The text of the undo menu entry, always ending in "\tStrg+Z".
std::string UndoMenuText(const UndoSnapshot& snapshot, const GrayBitmap* bitmap);

}  // namespace tarkemo
