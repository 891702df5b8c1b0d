// The cursors of the main view that Qt does not have: the magnifier ("zoomglass") shown while
// Control is held with the move/zoom tool.
#pragma once

#include <QCursor>

namespace tarkemo::app {

QCursor ZoomGlassCursor();

}  // namespace tarkemo::app
