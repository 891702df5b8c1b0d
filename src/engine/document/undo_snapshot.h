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

// A content identity never handed out before.
uint64_t NewContentIdentity();

struct UndoSnapshot {
    int32_t width = 0;
    int32_t stride = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;  // empty while there is no snapshot
    ColourTable colours = GrayRampTable();
    std::optional<std::string> name;  // the operation's name without "&" and "."
    bool undone = false;
    // Identities of contents, so that the document can tell whether an exchange brought back what
    // was saved: the image's current content and the recorded one. Every snapshot taken or
    // discarded precedes a change and so gives the image a new identity; an exchange swaps them.
    uint64_t imageContent = NewContentIdentity();
    uint64_t recordedContent = 0;
};

// Notes that the image's pixels or colour table changed outside a snapshot (size changes and
// changes that could not be recorded): the image gets a new identity.
void NoteImageChanged(UndoSnapshot& snapshot);

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
