// The help of `tarkemo-cli apply`: its option and one row per step of the step table.
#include "cli/help.h"
#include "cli/steps.h"

namespace tarkemo::cli {
namespace {

const OptionHelp kOptions[] = {
    {"--yes", "",
     "beantwortet Rückfragen mit Ja (Filterdatei mit \"Border: CoeffSum\" und \"DivBy:\", "
     "zweites Bild mit Falschfarben-Tabelle); ohne --yes gilt Nein und der Lauf endet",
     "Nein"},
};

const StepHelp kSteps[] = {
    {"not", "invertiert jedes Pixel: 255 − p"},
    {"and=C", "bitweises UND jedes Pixels mit C (0..255)"},
    {"or=C", "bitweises ODER jedes Pixels mit C (0..255)"},
    {"xor=C", "bitweises exklusives ODER jedes Pixels mit C (0..255)"},
    {"rl", "rotiert die 8 Bits jedes Pixels um eins nach links (Bit 7 wird Bit 0)"},
    {"rr", "rotiert die 8 Bits jedes Pixels um eins nach rechts (Bit 0 wird Bit 7)"},
    {"sl", "schiebt die Bits jedes Pixels um eins nach links (2p, Bit 8 entfällt)"},
    {"sr", "schiebt die Bits jedes Pixels um eins nach rechts (p / 2)"},
    {"bi", "kehrt die Reihenfolge der Bits jedes Pixels um"},
    {"normalize",
     "dehnt den benutzten Grauwertbereich auf 0..255 ((p − min) × (255 / (max − min)), "
     "abgeschnitten); ein einfarbiges Bild bleibt, wie es ist"},
    {"flip-h", "spiegelt links–rechts"},
    {"flip-v", "spiegelt oben–unten"},
    {"rotate-left", "dreht um 90° gegen den Uhrzeigersinn"},
    {"rotate-right", "dreht um 90° im Uhrzeigersinn"},
    {"rotate-180", "dreht um 180° (Punktspiegelung am Mittelpunkt)"},
    {"shift-origin=X,Y",
     "zyklische Verschiebung: Pixel (X, Y), von links unten gezählt, wird die linke "
     "untere Ecke; 0 ≤ X ≤ Breite, 0 ≤ Y ≤ Höhe"},
    {"resize=W,H,FILL",
     "bettet das Bild mittig in eine Fläche von W × H ein, den Rand füllt FILL; "
     "verkleinert nie (auch resize=W,H,OX,OY,FILL: um OX von links, OY von unten "
     "versetzt)"},
    {"kernel=box3|box5|gauss3|gauss5|unsharp3|unsharp5|deriv-h|deriv-v|deriv-d",
     "eingebautes lineares Filter: Rechteck 3x3/5x5, Gauß 3x3/5x5, Unscharfmaske 3x3/5x5, Ableitungsfilter "
     "horizontal/vertikal/diagonal"},
    {"filter=DATEI.lft",
     "liest eine Filterdatei und wendet sie an; eine abgelehnte Datei beendet den Lauf "
     "mit ihrer Meldung (Exit-Status 3), ebenso \"Border: CoeffSum\" mit \"DivBy:\" "
     "ohne --yes"},
    {"rank=W,H,R",
     "Rangfilter: der R-kleinste Wert jedes W × H-Fensters (ungerade Seiten, nicht 1 × 1; "
     "1 = Minimum, W·H/2+1 = Median, W·H = Maximum), an den Rändern gespiegelt; ein Fenster "
     "größer als das Bild beendet den Lauf (Exit-Status 5)"},
    {"local-normalize=W,H,MINCONTRAST,COMPARE",
     "lokale Normierung über W × H-Fenster (ungerade), an den Rändern abgeschnitten; ein Fenster mit max − "
     "min < MINCONTRAST (oder max = min) setzt sein Pixel nach der Schwelle COMPARE auf 0 oder 255; "
     "MINCONTRAST 0 ist erlaubt"},
    {"gradient",
     "Gradientenbetrag (zentrale Differenzen, an den Rändern einseitig), so skaliert, dass "
     "der größte 255 wird; braucht mindestens 3 × 3 Pixel"},
    {"combine=OP,DATEI.bmp",
     "verknüpft Pixel für Pixel mit einem zweiten, gleich großen Bild, OP: and or "
     "xor add mix sub subfrom mul; ein Bild mit Falschfarben-Tabelle wird ohne "
     "--yes abgelehnt, eine unlesbare Datei oder andere Größe beendet den Lauf "
     "(Exit-Status 3)"},
    {"palette=gray|intensity|top-red|contour|rainbow|double-rainbow", "eingebaute Farbtabelle"},
    {"palette-file=DATEI.rgb", "die Tabelle der RGB-Palettendatei wird die Farbtabelle des Bildes"},
    {"gray-map=DATEI.pal",
     "bildet die Pixel durch die Grauwert-Palettendatei ab wie \"&Anwenden\" im "
     "Paletteneditor; die Farbtabelle wird die Graustufenrampe"},
};

std::vector<std::string> AcceptedSteps() {
    std::vector<std::string> keys;
    for (const StepDef& step : AllSteps())
        keys.push_back(std::string(step.name) + (step.takesArgument ? "=" : ""));
    return keys;
}

}  // namespace

const CommandHelp& ApplyHelp() {
    static const CommandHelp help{
        "apply",
        "apply [--yes] EIN AUSGABE.bmp SCHRITT...",
        "Wendet Schritte von links nach rechts auf ein Bild an und schreibt das Ergebnis als BMP-Datei.",
        "EIN ist .bmp, .imx oder .img. Die Ausgabe wird nur geschrieben, wenn alle Schritte gelangen.",
        kOptions,
        "Schritte (Zahlen dezimal; FILL ist 0..255, mean, flip-inc, flip-exc, periodic oder local-mean):",
        kSteps,
        AcceptedSteps};
    return help;
}

}  // namespace tarkemo::cli
