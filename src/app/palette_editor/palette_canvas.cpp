#include "app/palette_editor/palette_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/palette_editor/palette_square.h"

namespace tarkemo::app {
namespace {

const ColourEntry kGreen{0, 255, 0, 0};
const ColourEntry kRed{0, 0, 255, 0};

int Clamp255(int value) {
    return std::clamp(value, 0, 255);
}

// Logical pointer position, rounded down to whole client pixels.
CurvePoint CurveOf(const QMouseEvent& event) {
    const QPointF pos = event.position();
    return CurveAt(static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y())));
}

}  // namespace

PaletteCanvas::PaletteCanvas(PaletteEditorState& state, PaletteEditorHost& host, QWidget* parent)
    : QWidget(parent), state_(state), host_(host) {
    setMouseTracking(true);
}

void PaletteCanvas::ShowPreview() {
    host_.ShowColourTable(MappedGrayTable(state_.mapping));
}

void PaletteCanvas::MappingChanged() {
    ShowPreview();
    update();
}

void PaletteCanvas::ShowPreviewWith(int a, ColourEntry colour, int b, ColourEntry colourB) {
    ColourTable table = MappedGrayTable(state_.mapping);
    table[static_cast<size_t>(Clamp255(a))] = colour;
    if (b >= 0) table[static_cast<size_t>(Clamp255(b))] = colourB;
    host_.ShowColourTable(table);
}

void PaletteCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(kPaletteSquareFrame,
                      RenderPaletteSquare(state_.mapping, state_.histogram, state_.range));
}

void PaletteCanvas::ShowReadout(CurvePoint p) {
    if (NearSquare(p)) {
        host_.ShowPointer(QString("ALT:  %1").arg(Clamp255(p.oldValue)),
                          QString("NEU:  %1").arg(Clamp255(p.newValue)));
    } else {
        host_.ShowPointer("ALT: (außerhalb)", "NEU: (außerhalb)");
    }
}

void PaletteCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || state_.curveDrag || state_.rangeDrag) return;
    const CurvePoint p = CurveOf(*event);
    if (!NearSquare(p)) return;
    if (event->modifiers() & Qt::ShiftModifier) {
        state_.range.start = state_.range.end = Clamp255(p.oldValue);
        state_.rangeDrag = true;
        return;
    }
    state_.curveDrag = true;
    state_.outside = (event->modifiers() & Qt::ControlModifier) != 0;
    state_.last = p;
    if (SetCurvePoint(state_.mapping, state_.range, state_.outside, p)) MappingChanged();
}

void PaletteCanvas::mouseMoveEvent(QMouseEvent* event) {
    const CurvePoint p = CurveOf(*event);
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    ShowReadout(p);
    if (state_.rangeDrag) {
        MoveRangeDrag(p, shift);
    } else if (state_.curveDrag) {
        MoveCurveDrag(p);
    } else {
        ShowValueUnderPointer(p, shift);
    }
}

void PaletteCanvas::MoveRangeDrag(CurvePoint p, bool shift) {
    if (shift) {
        state_.range.end = Clamp255(p.oldValue);
        ShowPreviewWith(state_.range.start, kGreen, state_.range.end, kRed);
        update();
        return;
    }
    // Shift was let go: the marking ends where it is.
    state_.rangeDrag = false;
    state_.range = OrderedRange(state_.range);
    ShowPreview();
    update();
}

void PaletteCanvas::MoveCurveDrag(CurvePoint p) {
    if (FarFromSquare(p)) {
        state_.curveDrag = false;
        return;
    }
    if (DragCurve(state_.mapping, state_.range, state_.outside, state_.last, p)) MappingChanged();
}

void PaletteCanvas::ShowValueUnderPointer(CurvePoint p, bool shift) {
    if (shift && NearSquare(p)) {
        ShowPreviewWith(p.oldValue, kGreen);
        state_.previewShown = true;
    } else if (!shift && state_.previewShown) {
        ShowPreview();
        state_.previewShown = false;
    }
}

void PaletteCanvas::EndRangeDrag(int x) {
    state_.range.end = Clamp255(x - 10);
    state_.range = OrderedRange(state_.range);
    state_.rangeDrag = false;
    ShowPreview();
    update();
}

void PaletteCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (state_.rangeDrag) {
            EndRangeDrag(static_cast<int>(std::floor(event->position().x())));
        } else {
            state_.curveDrag = false;
        }
    } else if (event->button() == Qt::RightButton && !state_.curveDrag && !state_.rangeDrag) {
        state_.range = ColourRange{};
        update();
    }
}

}  // namespace tarkemo::app
