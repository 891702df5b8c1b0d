#include "cli/cli_common.h"
#include "cli/commands.h"

namespace tarkemo::cli {

int RunCount(Arguments /*args*/) { return Report({kBadUsage, "Der Befehl \"count\" ist noch nicht verfügbar."}); }

}  // namespace tarkemo::cli
