// The handlers of the spectrum editor's menu, one function per family of commands. Each gets
// the editor and the id of the command that was chosen.
#pragma once

namespace tarkemo::app {

class FilterSpectDlg;

// "Ansicht": field, quantity and the two scales (the power-law scale asks for its exponent).
void EditorFieldCommand(FilterSpectDlg& editor, int id);
void EditorQuantityCommand(FilterSpectDlg& editor, int id);
void EditorScaleCommand(FilterSpectDlg& editor, int id);
// "Graustufen / Falschfarben": gray, rainbow or a palette file on the working bitmap.
void EditorPaletteCommand(FilterSpectDlg& editor, int id);
// "Hilfsmittel" and "Zeichenstift".
void EditorToolCommand(FilterSpectDlg& editor, int id);
void EditorPenCommand(FilterSpectDlg& editor, int id);
// "Markierung manuell eingeben..." in its spectrum form.
void EditorManualMarkingCommand(FilterSpectDlg& editor, int id);
// "Beenden und Rücktransformation..." and "Bearbeitung abbrechen".
void EditorCloseCommand(FilterSpectDlg& editor, int id);

// .FFT files: load the unfiltered spectrum or the filter, save either or the filtered spectrum.
void EditorFrequencyFileCommand(FilterSpectDlg& editor, int id);
// The working bitmap saved as a BMP file or copied to the clipboard.
void EditorBitmapCommand(FilterSpectDlg& editor, int id);
// The filter, its real or its imaginary part from a bitmap file or the clipboard.
void EditorImportCommand(FilterSpectDlg& editor, int id);
// Reset, copy, Gauss, the pass and stop shapes, multiply, reflect, conjugate, reciprocal.
void EditorFilterCommand(FilterSpectDlg& editor, int id);

}  // namespace tarkemo::app
