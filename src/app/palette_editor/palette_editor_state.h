// The palette editor's state while its dialog is open: the mapping being drawn, the histogram it is
// drawn over, the colour range (owned by the program, so it outlives the dialog) and the flags of the
// mouse drags.
#pragma once

#include "document/palette_mapping.h"
#include "image/gray_histogram.h"

namespace tarkemo::app {

struct PaletteEditorState {
    explicit PaletteEditorState(ColourRange& colourRange) : range(colourRange) {}

    GrayLevels mapping = IdentityMapping();
    GrayHistogram histogram{};
    ColourRange& range;
    bool applied = false;       // "Anwenden" was used in this dialog
    bool curveDrag = false;     // a left-button drag is drawing the curve
    bool outside = false;       // that drag started with Ctrl: it edits only outside the range
    bool rangeDrag = false;     // a Shift drag is marking the range
    bool previewShown = false;  // the gray value under the pointer is shown green
    CurvePoint last;            // the previous event of the curve drag
};

// Pointer position in the dialog's client area -> curve coordinates: old = x - 10, new = 265 - y.
inline CurvePoint CurveAt(int x, int y) {
    return CurvePoint{x - 10, 265 - y};
}

// Old and new both within -19 ... 275: the pointer counts as over the square (read-out, clicks).
inline bool NearSquare(CurvePoint p) {
    return p.oldValue >= -19 && p.oldValue <= 275 && p.newValue >= -19 && p.newValue <= 275;
}

// Old or new beyond -40 ... 296: a curve drag that far away ends by itself.
inline bool FarFromSquare(CurvePoint p) {
    return p.oldValue < -40 || p.oldValue > 296 || p.newValue < -40 || p.newValue > 296;
}

}  // namespace tarkemo::app
