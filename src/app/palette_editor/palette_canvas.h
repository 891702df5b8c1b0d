// The palette editor's client area: it paints the drawing square and turns the mouse into curve
// points, colour-range markings, the green gray value under Shift and the InfoBox read-out. The
// dialog's buttons sit on it as child widgets; its coordinates are the dialog's client coordinates.
#pragma once

#include <QWidget>

#include "app/palette_editor/palette_editor_host.h"
#include "app/palette_editor/palette_editor_state.h"

namespace tarkemo::app {

class PaletteCanvas : public QWidget {
    Q_OBJECT

  public:
    PaletteCanvas(PaletteEditorState& state, PaletteEditorHost& host, QWidget* parent = nullptr);

    // The image's colour table becomes the gray table through the mapping.
    void ShowPreview();
    // Preview, then both windows repainted: after every change of the mapping.
    void MappingChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void ShowReadout(CurvePoint p);
    void MoveRangeDrag(CurvePoint p, bool shift);
    void MoveCurveDrag(CurvePoint p);
    void ShowValueUnderPointer(CurvePoint p, bool shift);
    void EndRangeDrag(int x);
    // The preview with entry `a` (clamped) shown in `colour`.
    void ShowPreviewWith(int a, ColourEntry colour, int b = -1, ColourEntry colourB = {});

    PaletteEditorState& state_;
    PaletteEditorHost& host_;
};

}  // namespace tarkemo::app
