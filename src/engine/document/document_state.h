// The document: the one image the program works on (or none), the file it belongs to, whether it
// holds unsaved changes, whether its colour table is the gray ramp, and its undo snapshot.
// The desktop program holds one instance; every command reads and changes it through here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "document/undo_snapshot.h"
#include "image/bmp_file.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

// Width, height, stride and pixel address of the current bitmap, read back after every operation
// that replaces or resizes it; all zero without a document.
struct GeometryCache {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    uint8_t* pixels = nullptr;
};

struct DocumentState {
    std::optional<GrayBitmap> bitmap;  // none: there is no document
    std::string path;                  // empty: untitled
    bool modified = false;
    bool grayRamp = false;      // the colour table is the identity gray ramp
    bool importedPath = false;  // `path` names an imported source file that Save must not overwrite
    uint64_t savedContent = 0;  // identity of the content last loaded or saved (see UndoSnapshot)
    GeometryCache geometry;
    UndoSnapshot undo;

    bool HasDocument() const { return bitmap.has_value(); }
    GrayBitmap* Bitmap() { return bitmap ? &*bitmap : nullptr; }
    const GrayBitmap* Bitmap() const { return bitmap ? &*bitmap : nullptr; }
};

// Reads width, height, stride and pixel address back from the bitmap (zeros without one).
void RefreshGeometry(DocumentState& document);

// Releases the bitmap: from now on there is no document. Path, flags and undo stay as they are.
void ReleaseBitmap(DocumentState& document);

// Makes `loaded` the document's image after an open, import or paste: grayRamp from the loader,
// not modified, undo discarded, geometry read back. The path is the caller's business.
void AdoptLoadedBitmap(DocumentState& document, LoadedBitmap&& loaded);

// Sets `modified` after a change to pixels or colour table; the content gets a new identity.
// True when it was not set before, i.e. the caption has to change.
bool MarkModified(DocumentState& document);

// After a successful save (and a load): the content is the one of the file, not modified.
void MarkSaved(DocumentState& document);

// After an undo or redo: sets `modified` when the content now differs from the one last saved or
// loaded. Never clears it. True when it was not set before, i.e. the caption has to change.
bool MarkModifiedUnlessSaved(DocumentState& document);

// The caption for the document's current state: "Tarkemo" without a document, otherwise the
// product name with the path (or "Unbenannt") and the modified mark.
std::string DocumentTitle(const DocumentState& document);

// The name a save proposes: the path itself, or for an imported file the same name with the
// extension replaced by ".bmp" (".bmp" appended when it has none).
std::string ProposedSaveName(const DocumentState& document);

}  // namespace tarkemo
