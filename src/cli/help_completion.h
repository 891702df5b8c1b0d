// The bash completion of tarkemo-cli, written from the help tables.
#pragma once

#include <string>

namespace tarkemo::cli {

// The whole script: `source` it in bash, or install it as bash-completion/completions/tarkemo-cli.
std::string BashCompletionScript();

}  // namespace tarkemo::cli
