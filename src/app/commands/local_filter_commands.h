// The commands of "&Lokale Operationen": local normalisation and rank filter with their window
// dialog, the gradient filter, the nine built-in linear kernels and the linear filter from a file.
// Each runs behind the progress dialog and can be cancelled without a trace.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

// 40029 "Lokal &normalisieren..." and 40030 "&Rangordnungsfilter...".
void LocalOperationCommand(MainWindow& window, const CommandCall& call);
// 40053 "Gradientenfilter...".
void GradientCommand(MainWindow& window, const CommandCall& call);
// 40056 ... 40064, the built-in kernels.
void BuiltinKernelCommand(MainWindow& window, const CommandCall& call);
// 40015 "&Lineares Filter aus Datei...".
void FilterFileCommand(MainWindow& window, const CommandCall& call);

}  // namespace tarkemo::app
