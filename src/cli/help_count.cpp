// The help of `tarkemo-cli count`.
#include "cli/help.h"

namespace tarkemo::cli {
namespace {

const OptionHelp kOptions[] = {
    {"--method", "maxima|binarise|stripes",
     "Zählmethode: Maximasuche, Schwellwert-Regionen oder Streifen (Schwellwert-Regionen; der Export "
     "ergänzt \"Max. Höhe\" und \"Max. Breite\")",
     "maxima"},
    {"--min-gray", "T", "Schwellwert 0..255", "50"},
    {"--min-area", "A", "kleinste Partikelfläche, die zählt, in Pixeln", "1"},
    {"--max-area", "B", "größte Partikelfläche, die zählt, in Pixeln; mindestens 1 und mindestens A", "10"},
    {"--german", "", "Dezimalkomma in der exportierten Tabelle", "Dezimalpunkt"},
    {"--export", "BASIS",
     "nur ein Bild: schreibt BASIS.bmp (markiertes Bild), BASIS.dat (Tabelle) und BASIS.txt (Bericht) "
     "genau wie der Export des Programms mit Fenster",
     ""},
    {"--export-dir", "ORDNER",
     "beliebig viele Bilder: schreibt ORDNER/<Name>_c.bmp, .dat und .txt (<Name>: der Dateiname der "
     "Eingabe ohne Endung); ORDNER muss existieren; zwei Eingaben mit demselben Namen werden abgelehnt",
     ""},
    {"--jobs", "N",
     "so viele Bilder werden gleichzeitig gezählt (1..256); Ausgabe und Dateien hängen nicht davon ab",
     "alle Kerne"},
};

}  // namespace

const CommandHelp& CountHelp() {
    static const CommandHelp help{
        "count",
        "count [OPTIONEN] BILD...",
        "Zählt die Partikel jedes Bildes und gibt je Bild eine Zeile PFAD<TAB>ANZAHL aus, in der Reihenfolge "
        "der Eingaben.",
        "--opt WERT und --opt=WERT sind gleichwertig; \"--\" beendet die Optionen. Die drei Dateien eines "
        "Bildes werden zusammen oder gar nicht geschrieben. Ein Bild, das sich nicht lesen lässt, wird auf "
        "stderr als PFAD: Meldung genannt, die anderen werden trotzdem gezählt; der Exit-Status ist der des "
        "ersten fehlgeschlagenen Bildes (3 nicht lesbar, 4 Export nicht geschrieben, 5 nicht genügend "
        "Speicher). Ist stderr ein Terminal, zeigt eine Zeile den Fortschritt (\"123/4000 Bilder\").",
        kOptions,
        {},
        {},
        nullptr};
    return help;
}

}  // namespace tarkemo::cli
