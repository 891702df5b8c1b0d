#include "cli/cli_common.h"
#include "cli/commands.h"

namespace tarkemo::cli {

int RunSpectrum(Arguments /*args*/) { return Report({kBadUsage, "Der Befehl \"spectrum\" ist noch nicht verfügbar."}); }

}  // namespace tarkemo::cli
