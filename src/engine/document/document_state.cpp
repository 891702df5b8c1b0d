#include "document/document_state.h"

#include <utility>

#include "document/title_text.h"

namespace tarkemo {

void RefreshGeometry(DocumentState& document) {
    GrayBitmap* bitmap = document.Bitmap();
    if (bitmap == nullptr) {
        document.geometry = GeometryCache{};
        return;
    }
    document.geometry = GeometryCache{bitmap->width, bitmap->height, bitmap->stride, bitmap->pixels.data()};
}

void ReleaseBitmap(DocumentState& document) {
    document.bitmap.reset();
    RefreshGeometry(document);
}

void AdoptLoadedBitmap(DocumentState& document, LoadedBitmap&& loaded) {
    document.bitmap = std::move(loaded.bitmap);
    document.grayRamp = loaded.grayRamp;
    DiscardUndo(document.undo);
    MarkSaved(document);
    RefreshGeometry(document);
}

bool MarkModified(DocumentState& document) {
    NoteImageChanged(document.undo);
    if (document.modified) return false;
    document.modified = true;
    return true;
}

void MarkSaved(DocumentState& document) {
    document.modified = false;
    document.savedContent = document.undo.imageContent;
}

bool MarkModifiedUnlessSaved(DocumentState& document) {
    if (document.modified || document.undo.imageContent == document.savedContent) return false;
    document.modified = true;
    return true;
}

std::string DocumentTitle(const DocumentState& document) {
    if (!document.HasDocument()) return TitleText(std::nullopt, false);
    return TitleText(document.path, document.modified);
}

std::string ProposedSaveName(const DocumentState& document) {
    if (!document.importedPath) return document.path;
    const size_t slash = document.path.find_last_of('/');
    const size_t dot = document.path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? document.path.substr(0, dot) : document.path) + ".bmp";
}

}  // namespace tarkemo
