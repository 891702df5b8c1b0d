#include "cli/cli_common.h"
#include "cli/commands.h"

namespace tarkemo::cli {

int RunPalette(Arguments /*args*/) { return Report({kBadUsage, "Der Befehl \"palette\" ist noch nicht verfügbar."}); }

}  // namespace tarkemo::cli
