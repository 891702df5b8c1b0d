// The help of `tarkemo-cli spectrum`: its options and one or more rows per step of the step table.
#include "cli/help.h"
#include "cli/spectrum_steps.h"

namespace tarkemo::cli {
namespace {

const OptionHelp kOptions[] = {
    {"--size", "auto|W,H,FILL|W,H,OX,OY,FILL",
     "Größe des Spektrums: auto nimmt je Seite die nächste Zweierpotenz echt über dem 1,5-Fachen, "
     "das Bild links unten, den Rand 0; W,H,FILL legt die Größe fest (W, H Zweierpotenzen ≥ 2) und "
     "setzt das Bild mittig, den Rand füllt FILL; W,H,OX,OY,FILL setzt es an Spalte OX, Zeile OY (von "
     "unten gezählt)",
     "auto"},
    {"--from", "real|imag|abs|phase",
     "woraus die Pixel entstehen (\"Pixeldaten erzeugen aus:\"): Realteil, Imaginärteil, Betrag "
     "√(re² + im²) oder Phase atan2(im, re) + π",
     "real"},
    {"--add", "S", "addiert S zu jedem Wert", "0"},
    {"--abs", "", "nimmt nach --add den Betrag, wie \"Betrag bilden\"", "aus"},
    {"--scale", "K", "multipliziert danach mit K (\"Multiplizieren mit:\"); nicht zusammen mit --normalize",
     "1"},
    {"--normalize", "",
     "bildet statt --scale den größten Wert der Bildfläche auf 255 ab, wie \"Normalisieren\"", "aus"},
    {"--save-spectrum", "DATEI.fft",
     "schreibt das ungefilterte Spektrum, wie es am Ende dasteht (nach load-spectrum das geladene), wie "
     "der Spektrum-Editor: zentriert, mit 1/(W·H) skaliert",
     ""},
    {"--save-filter", "DATEI.fft", "schreibt das fertige Filter", ""},
    {"--save-filtered", "DATEI.fft", "schreibt Spektrum × Filter, zentriert", ""},
    {"--view", "DATEI.bmp",
     "schreibt die Anzeige des Spektrum-Editors im Endzustand: W × H Pixel, Farbtabelle und Auflösung "
     "von EIN",
     ""},
    {"--view-of", "spectrum|filter|filtered",
     "was --view zeigt: das ungefilterte Spektrum, das Filter oder das gefilterte Spektrum", "spectrum"},
    {"--quantity", "abs|phase|re|im",
     "welche Größe --view zeigt: Betrag (re² + im², ohne Wurzel), Phase, Betrag des Realteils oder "
     "Betrag des Imaginärteils",
     "abs"},
    {"--power", "E", "Potenzskala der Anzeige mit dem Exponenten E > 0; nicht zusammen mit --db", "0.1"},
    {"--db", "", "logarithmische Skala der Anzeige (dB)", "Potenzskala"},
};

const StepHelp kSteps[] = {
    {"mark=L,B,R,T",
     "markiert die Spalten L..R und Zeilen B..T einschließlich (L ≤ R, B ≤ T); liegt die "
     "Markierung nicht im Raster, endet der Lauf mit dem Schritt in der Meldung (Exit-Status 5)"},
    {"mark=all", "markiert das ganze Raster, wie zu Beginn"},
    {"mark-centred=KX,KY,A,B",
     "Markierung um die Frequenz (KX, KY) wie im Dialog der manuellen Markierung: Spalten W/2+KX−A .. "
     "W/2+KX+A, Zeilen H/2+KY−B .. H/2+KY+B (A, B ≥ 0); ist KX = 0 und die linke Kante 0, reicht "
     "sie über die ganze Breite, ebenso KY = 0 und die Höhe; außerhalb des Rasters Exit-Status 5"},
    {"load-filter=DATEI.fft", "lädt das Filter aus einer FFT-Datei von W × H Elementen"},
    {"load-spectrum=DATEI.fft",
     "lädt das ungefilterte Spektrum aus einer FFT-Datei von W × H Elementen (\"Ungefiltertes "
     "Spektrum öffnen\")"},
    {"reset", "Filter überall 1 + 0i"},
    {"copy-spectrum", "Filter = das ungefilterte Spektrum"},
    {"gauss",
     "Gauß-Filter: jedes Element exp(−e) + 0i, e = (x−cx)²/ax² + (y−cy)²/ay² mit Mitte (cx, "
     "cy) und halben Seiten ax, ay der Markierung"},
    {"pass-in-ellipse", "1 + 0i in der Ellipse der Markierung (e ≤ 1)"},
    {"pass-in-rect", "1 + 0i im Rechteck der Markierung"},
    {"pass-out-ellipse", "1 + 0i außerhalb der Ellipse der Markierung (jeder Punkt mit e ≥ 1)"},
    {"pass-out-rect", "1 + 0i außerhalb des Rechtecks der Markierung"},
    {"highpass-ellipse", "0 + 0i in der Ellipse der Markierung (e ≤ 1)"},
    {"highpass-rect", "0 + 0i im Rechteck der Markierung"},
    {"lowpass-ellipse", "0 + 0i außerhalb der Ellipse der Markierung (jeder Punkt mit e ≥ 1)"},
    {"lowpass-rect", "0 + 0i außerhalb des Rechtecks der Markierung"},
    {"multiply=A,B", "Filter × (A + Bi)"},
    {"reflect",
     "Punktspiegelung an der Frequenz null: Element (x, y) erhält den Wert von ((W − x) mod W, (H "
     "− y) mod H)"},
    {"conjugate", "konjugiert das Filter: jeder Imaginärteil wird negiert"},
    {"reciprocal",
     "Filter = 1 / Filter; ein Element 0 beendet den Lauf mit \"Reziproke Amplituden können nicht "
     "gebildet werden. Division durch Null!\" (Exit-Status 5)"},
    {"import=DATEI.bmp", "Filter = Pixel / 255 eines Bildes von W × H Pixeln, Imaginärteil 0"},
    {"import-real=DATEI.bmp", "Realteil des Filters = Pixel / 255 eines Bildes von W × H Pixeln"},
    {"import-imag=DATEI.bmp", "Imaginärteil des Filters = Pixel / 255 eines Bildes von W × H Pixeln"},
};

}  // namespace

const CommandHelp& SpectrumHelp() {
    static const CommandHelp help{
        "spectrum",
        "spectrum [OPTIONEN] EIN AUSGABE.bmp [SCHRITT...]",
        "Filtert ein Bild im Frequenzraum wie der Spektrum-Editor und schreibt das rücktransformierte "
        "Ergebnis als BMP-Datei.",
        "EIN (.bmp, .imx oder .img) wird in das Raster des Spektrums eingebettet und transformiert. Die "
        "Schritte bauen von links nach rechts das Filter, beginnend mit 1 + 0i überall und der Markierung "
        "des ganzen Rasters; das Spektrum wird mit dem Filter multipliziert, zurücktransformiert und wie im "
        "Dialog der Rücktransformation zu Pixeln: der Wert nach --from, plus --add, bei --abs sein Betrag, "
        "mal --scale oder normalisiert; unter 0 und NaN wird 0, ab 256 wird 255, sonst abgeschnitten. "
        "AUSGABE.bmp hat Größe, Farbtabelle und Auflösung von EIN.\n\n"
        "--opt WERT und --opt=WERT sind gleichwertig; \"--\" beendet die Optionen. FILL ist 0..255, mean, "
        "flip-inc, flip-exc, periodic oder local-mean. Zahlen sind schlichte Dezimalzahlen (ohne "
        "Leerzeichen, inf, nan oder hex), ganze Zahlen passen in 32 Bit, reelle bleiben als float endlich. "
        "AUSGABE, die .fft-Dateien und --view werden zusammen geschrieben und nur, wenn der ganze Lauf "
        "gelang.\n\n"
        "Exit-Status 2: unbekannte Option oder unbekannter Schritt, fehlerhafte Zahl, W oder H keine "
        "Zweierpotenz, --power ≤ 0, --power mit --db, --scale mit --normalize. 3: EIN nicht lesbar, oder "
        "eine .fft- oder Bilddatei eines Schritts abgelehnt (nicht lesbar, falsche Kennung, falsche "
        "Größe), mit der Meldung dazu. 4: eine Ausgabe ließ sich nicht schreiben. 5: die manuelle Größe "
        "ist kleiner als das Bild oder die Offsets sind zu groß, eine Markierung liegt nicht im Raster, "
        "reciprocal trifft ein Element 0, oder es ist nicht genügend Speicher vorhanden.",
        kOptions,
        "Schritte (Spalte x = 0..W−1, Zeile y = 0..H−1 von unten gezählt, die Frequenz null bei (W/2,H/2); "
        "die Formen setzen nur die genannten Elemente, die übrigen bleiben):",
        kSteps,
        SpectrumStepKeys};
    return help;
}

}  // namespace tarkemo::cli
