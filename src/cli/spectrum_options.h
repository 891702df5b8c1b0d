// The options of `tarkemo-cli spectrum`: the spectrum size, the inverse dialog's settings, the
// outputs besides OUT and the display the view shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "document/app_settings.h"
#include "spectrum/inverse_result.h"
#include "spectrum/spectrum_view.h"

namespace tarkemo::cli {

struct SpectrumOptions {
    bool manualSize = false;  // --size W,H,... ; automatic otherwise
    SizeSettings size;        // the manual size, offsets, centring and fill rule
    InverseSettings inverse;
    std::string saveSpectrum, saveFilter, saveFiltered, view;  // empty: not written
    SpectrumViewSettings display;
    std::string input, output;
    std::vector<std::string> steps;
};

inline constexpr const char* kSpectrumUsage =
    "Aufruf: tarkemo-cli spectrum [OPTIONEN] IN OUT.bmp [SCHRITT...]\n"
    "Optionen: --size auto|W,H,FILL|W,H,OX,OY,FILL  --from real|imag|abs|phase  --add S  --abs\n"
    "  --scale K | --normalize  --save-spectrum F.fft  --save-filter F.fft  --save-filtered F.fft\n"
    "  --view F.bmp  --view-of spectrum|filter|filtered  --quantity abs|phase|re|im  --power E | --db\n"
    "Schritte: mark=L,B,R,T  mark=all  mark-centred=KX,KY,A,B  load-filter=F.fft  load-spectrum=F.fft\n"
    "  reset  copy-spectrum  gauss  pass-in-ellipse  pass-in-rect  pass-out-ellipse  pass-out-rect\n"
    "  highpass-ellipse  highpass-rect  lowpass-ellipse  lowpass-rect  multiply=A,B  reflect  conjugate\n"
    "  reciprocal  import=F.bmp  import-real=F.bmp  import-imag=F.bmp";

// Reads the options (all before IN), IN, OUT and the steps (not yet checked). None with
// kBadUsage and a German message for anything unknown, malformed, out of range or contradictory.
std::optional<SpectrumOptions> ParseSpectrumOptions(Arguments args, Status& status);

// A plain decimal number (optional sign, digits, optional fraction and exponent; no blanks, inf,
// nan or hex) that stays finite as a float.
std::optional<float> ParseReal(std::string_view text);

}  // namespace tarkemo::cli
