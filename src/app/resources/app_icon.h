// The program's icon (window and about box), drawn here rather than shipped as an image file:
// a gray gradient with a few bright particles.
#pragma once

#include <QIcon>

namespace tarkemo::app {

QIcon TarkemoIcon();

}  // namespace tarkemo::app
