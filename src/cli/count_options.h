// The options of `tarkemo-cli count`: how to count, which areas to keep, where to export, and
// how many images to count at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "particles/particle_params.h"

namespace tarkemo::cli {

struct CountOptions {
    CountMethod method = CountMethod::Maxima;
    ParticleParams params;
    bool germanNumbers = false;
    std::string exportBase;  // --export BASE, for one input
    std::string exportDir;   // --export-dir DIR, for any number of inputs
    unsigned jobs = 1;
    std::vector<std::string> inputs;

    bool Exporting() const { return !exportBase.empty() || !exportDir.empty(); }
};

// Reads the options (all before the first input) and the inputs. None with kBadUsage and a
// German message for anything unknown, missing, out of range or contradictory.
std::optional<CountOptions> ParseCountOptions(Arguments args, Status& status);

// The base name of the export files of input `index`: BASE, or DIR/<file name cut at its
// extension>_c.
std::string ExportBaseFor(const CountOptions& options, size_t index);

}  // namespace tarkemo::cli
