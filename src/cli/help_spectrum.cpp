// The help of `tarkemo-cli spectrum`.
#include "cli/help.h"

namespace tarkemo::cli {

const CommandHelp& SpectrumHelp() {
    static const CommandHelp help{"spectrum",
                                  "spectrum [OPTIONEN] EIN AUSGABE.bmp [SCHRITT...]",
                                  "Fourier-Transformation mit Frequenzfilter (noch nicht verfügbar).",
                                  {},
                                  {},
                                  {},
                                  {}};
    return help;
}

}  // namespace tarkemo::cli
