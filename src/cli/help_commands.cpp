// The help of the small commands: info, convert and palette.
#include "cli/help.h"

namespace tarkemo::cli {

const CommandHelp& InfoHelp() {
    static const CommandHelp help{
        "info",
        "info BILD",
        "Gibt die Eigenschaften eines Bildes aus, eine Zeile SCHLÜSSEL<TAB>WERT je Eigenschaft.",
        "Bei einer BMP-Datei: format, width, height, stride, resolution, gray-ramp, min, max und mean. Bei "
        "einer DaVis-Datei (.imx, .img) zuerst die Zeilen der Datei selbst (format davis, image-type, "
        "version, nx, ny, frames, planes, samples, sample-min, sample-max, bei Gleitkommazahlen "
        "non-finite), dann die des umgewandelten 8-Bit-Bildes.",
        {},
        {},
        {}};
    return help;
}

const CommandHelp& ConvertHelp() {
    static const CommandHelp help{
        "convert",
        "convert EIN AUSGABE.bmp",
        "Liest ein Bild (.bmp, .imx oder .img, Groß- und Kleinschreibung gleich) und schreibt es als "
        "BMP-Datei.",
        "DaVis-Dateien (16-Bit-Wörter, roh oder gepackt, und 32-Bit-Gleitkommazahlen): das erste Bild wird "
        "zwischen seinem kleinsten und größten Wert auf 0..255 abgebildet, die erste Zeile der Datei oben, "
        "mit Graustufen-Farbtabelle; NaN und unendliche Werte zählen nicht zum Bereich und werden 0.",
        {},
        {},
        {}};
    return help;
}

const CommandHelp& PaletteHelp() {
    static const CommandHelp help{
        "palette",
        "palette export BILD AUSGABE.rgb",
        "Schreibt die Farbtabelle des Bildes als RGB-Palettendatei (\"Tarkemo - RGB-Palette:\", CR LF).",
        {},
        {},
        {},
        {}};
    return help;
}

}  // namespace tarkemo::cli
