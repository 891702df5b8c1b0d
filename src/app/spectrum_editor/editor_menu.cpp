#include "app/spectrum_editor/editor_menu.h"

#include <algorithm>
#include <array>

#include "app/spectrum_editor/editor_commands.h"
#include "spectrum/spectrum_view.h"

namespace tarkemo::app {
namespace {

using M = EditorMenu;
using G = EditorGroup;

constexpr int Field(SpectrumViewField f) {
    return static_cast<int>(f);
}
constexpr int Quantity(SpectrumQuantity q) {
    return static_cast<int>(q);
}
constexpr int Scale(SpectrumScale s) {
    return static_cast<int>(s);
}

constexpr std::array kPopups{
    EditorPopup{M::kFile, M::kFile, "&Datei"},
    EditorPopup{M::kView, M::kView, "&Ansicht"},
    EditorPopup{M::kPalette, M::kPalette, "Graustufen / &Falschfarben"},
    EditorPopup{M::kTools, M::kTools, "&Hilfsmittel"},
    EditorPopup{M::kPen, M::kPen, "Zeichens&tift"},
    EditorPopup{M::kFilter, M::kFilter, "&Filter"},
    EditorPopup{M::kImport, M::kFilter, "&Importieren"},
    EditorPopup{M::kPassInside, M::kFilter, "Transmission i&nnerhalb Markierung"},
    EditorPopup{M::kPassOutside, M::kFilter, "Transmission &außerhalb Markierung"},
    EditorPopup{M::kHighPass, M::kFilter, "&Hochpaß aus Markierung"},
    EditorPopup{M::kLowPass, M::kFilter, "&Tiefpaß aus Markierung"},
};

constexpr const char* kEllipse = "mit &elliptischer Form";
constexpr const char* kRectangle = "mit &rechteckig Form";

constexpr std::array kRows{
    EditorRow{40066, M::kFile, "Ungefiltertes Spektrum ö&ffnen...", G::kNone, 0, EditorFrequencyFileCommand,
              false},
    EditorRow{40067, M::kFile, "Ungefiltertes Spektrum speichern...", G::kNone, 0, EditorFrequencyFileCommand,
              false},
    EditorRow{40085, M::kFile, "&Gefiltertes Spektrum speichern...", G::kNone, 0, EditorFrequencyFileCommand,
              true},
    EditorRow{40086, M::kFile, "Aktuelle &Bitmap speichern unter...", G::kNone, 0, EditorBitmapCommand,
              false},
    EditorRow{40087, M::kFile, "Aktuelle Bitmap in &Zwischenablage kopieren", G::kNone, 0,
              EditorBitmapCommand, true},
    EditorRow{40005, M::kFile, "Beenden und &Rücktransformation...", G::kNone, 0, EditorCloseCommand, false},
    EditorRow{40068, M::kFile, "Bearbeitung &abbrechen", G::kNone, 0, EditorCloseCommand, false},

    EditorRow{40069, M::kView, "&Ungefiltertes Spektrum", G::kField, Field(SpectrumViewField::kSpectrum),
              EditorFieldCommand, false},
    EditorRow{40070, M::kView, "&Filter", G::kField, Field(SpectrumViewField::kFilter), EditorFieldCommand,
              false},
    EditorRow{40071, M::kView, "&Gefiltertes Spektrum", G::kField, Field(SpectrumViewField::kFiltered),
              EditorFieldCommand, true},
    EditorRow{40072, M::kView, "&Betrag", G::kQuantity, Quantity(SpectrumQuantity::kMagnitude),
              EditorQuantityCommand, false},
    EditorRow{40073, M::kView, "&Phase", G::kQuantity, Quantity(SpectrumQuantity::kPhase),
              EditorQuantityCommand, false},
    EditorRow{40074, M::kView, "Betrag des &Realteils", G::kQuantity,
              Quantity(SpectrumQuantity::kRealMagnitude), EditorQuantityCommand, false},
    EditorRow{40075, M::kView, "Betrag des &Imaginärteils", G::kQuantity,
              Quantity(SpectrumQuantity::kImaginaryMagnitude), EditorQuantityCommand, true},
    EditorRow{40076, M::kView, "Potentielle Farb&skala...", G::kScale, Scale(SpectrumScale::kPowerLaw),
              EditorScaleCommand, false},
    EditorRow{40077, M::kView, "Logarithmische Farbskala (&dB)", G::kScale, Scale(SpectrumScale::kDecibel),
              EditorScaleCommand, false},

    EditorRow{40105, M::kPalette, "&Grauwerte-Palette einsetzen", G::kNone, 0, EditorPaletteCommand, false},
    EditorRow{40108, M::kPalette, "Regen&bogen", G::kNone, 0, EditorPaletteCommand, false},
    EditorRow{40109, M::kPalette, "&Falschfarb-Palette einladen...", G::kNone, 0, EditorPaletteCommand,
              false},

    EditorRow{40027, M::kTools, "&Verschieben / Vergrößern", G::kTool, 40027, EditorToolCommand, false},
    EditorRow{40034, M::kTools, "&Markieren", G::kTool, 40034, EditorToolCommand, false},
    EditorRow{40028, M::kTools, "&Zeichnen", G::kTool, 40028, EditorToolCommand, true},
    EditorRow{40039, M::kTools, "Markierung manuell &eingeben...", G::kNone, 0, EditorManualMarkingCommand,
              false},

    EditorRow{40040, M::kPen, "&1 x 1", G::kPen, 1, EditorPenCommand, false},
    EditorRow{40041, M::kPen, "&2 x 2", G::kPen, 2, EditorPenCommand, false},
    EditorRow{40043, M::kPen, "&3 x 3", G::kPen, 3, EditorPenCommand, false},
    EditorRow{40112, M::kPen, "&4 x 4", G::kPen, 4, EditorPenCommand, false},
    EditorRow{40113, M::kPen, "&5 x 5", G::kPen, 5, EditorPenCommand, false},
    EditorRow{40114, M::kPen, "&6 x 6", G::kPen, 6, EditorPenCommand, false},
    EditorRow{40115, M::kPen, "&7 x 7", G::kPen, 7, EditorPenCommand, false},
    EditorRow{40116, M::kPen, "&8 x 8", G::kPen, 8, EditorPenCommand, false},
    EditorRow{40117, M::kPen, "&9 x 9", G::kPen, 9, EditorPenCommand, false},

    EditorRow{40089, M::kFilter, "Ö&ffnen...", G::kNone, 0, EditorFrequencyFileCommand, false},
    EditorRow{40090, M::kFilter, "&Speichern unter...", G::kNone, 0, EditorFrequencyFileCommand, true},
    EditorRow{40092, M::kImport, "Filter aus &Bitmap-Datei...", G::kNone, 0, EditorImportCommand, false},
    EditorRow{40093, M::kImport, "&Realteil aus Bitmap-Datei...", G::kNone, 0, EditorImportCommand, false},
    EditorRow{40094, M::kImport, "&Imaginärteil aus Bitmap-Datei...", G::kNone, 0, EditorImportCommand, true},
    EditorRow{40095, M::kImport, "Filter aus Bitmap in &Zwischenablage", G::kNone, 0, EditorImportCommand,
              false},
    EditorRow{40096, M::kImport, "Realteil aus Bitmap in Z&wischenablage", G::kNone, 0, EditorImportCommand,
              false},
    EditorRow{40097, M::kImport, "I&maginärteil aus Bitmap in Zwischenablage", G::kNone, 0,
              EditorImportCommand, false},
    EditorRow{40102, M::kFilter, "&Zurücksetzen  (Re=1, Im=0)", G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40082, M::kFilter, "&Ungefiltertes Spektrum kopieren", G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40126, M::kFilter, "&Gauß-Filter aus Markierung", G::kNone, 0, EditorFilterCommand, true},
    EditorRow{40118, M::kPassInside, kEllipse, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40119, M::kPassInside, kRectangle, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40121, M::kPassOutside, kEllipse, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40120, M::kPassOutside, kRectangle, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40124, M::kHighPass, kEllipse, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40125, M::kHighPass, kRectangle, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40122, M::kLowPass, kEllipse, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40123, M::kLowPass, kRectangle, G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40098, M::kFilter, "Mit komplexer Zahl mu&ltiplizieren...", G::kNone, 0, EditorFilterCommand,
              false},
    EditorRow{40099, M::kFilter, "Frequenzen s&piegeln", G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40078, M::kFilter, "Komplex &konjugieren", G::kNone, 0, EditorFilterCommand, false},
    EditorRow{40088, M::kFilter, "&Reziproke Amplituden bilden", G::kNone, 0, EditorFilterCommand, false},
};

}  // namespace

std::span<const EditorRow> EditorMenuTable() {
    return kRows;
}
std::span<const EditorPopup> EditorPopups() {
    return kPopups;
}

const EditorRow* FindEditorRow(int id) {
    const auto found =
        std::find_if(kRows.begin(), kRows.end(), [id](const EditorRow& r) { return r.id == id; });
    return found == kRows.end() ? nullptr : &*found;
}

const EditorPopup* FindEditorPopup(EditorMenu id) {
    const auto found =
        std::find_if(kPopups.begin(), kPopups.end(), [id](const EditorPopup& p) { return p.id == id; });
    return found == kPopups.end() ? nullptr : &*found;
}

bool IsClipboardImport(int id) {
    return id >= 40095 && id <= 40097;
}

}  // namespace tarkemo::app
