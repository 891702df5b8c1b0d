// What the palette editor needs from the program around it: the image it edits, a way to show a
// colour table on that image for the preview, the one change it makes ("Anwenden"), the InfoBox
// lines and the prompter. The command implements it over the main window; the editor never
// touches the document itself.
#pragma once

#include <QString>

#include "app/shell/prompter.h"
#include "image/gray_bitmap.h"
#include "image/palettes.h"

namespace tarkemo::app {

class PaletteEditorHost {
  public:
    virtual ~PaletteEditorHost() = default;

    virtual const GrayBitmap& Bitmap() const = 0;
    // Writes `table` into the image's colour table and repaints the main window without erasing.
    virtual void ShowColourTable(const ColourTable& table) = 0;
    // "Anwenden": gray table, undo snapshot "Palette", every pixel p replaced by mapping[p], repaint.
    virtual void ApplyMapping(const GrayLevels& mapping) = 0;
    // The InfoBox's X and Y lines, and its gray line.
    virtual void ShowPointer(const QString& xLine, const QString& yLine) = 0;
    virtual void ShowGrayLine(const QString& grayLine) = 0;
    virtual Prompter& Prompt() = 0;
};

}  // namespace tarkemo::app
