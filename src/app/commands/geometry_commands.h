// The commands of "&Spiegeln" and "&Drehen" and the resize: the image is mirrored, turned or set into
// a larger canvas, the marking moves with its pixels, the view follows a quarter turn or centres the
// resized image, and the undo snapshot is discarded (the geometry changed).
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

// 40035 "&Horizontal", 40036 "&Vertikal", 40164 "&Punktspiegelung an der Bildmitte",
// 40037 "Um 90° nach &links", 40038 "Um 90° nach &rechts", 40162 "Um 180° &drehen".
void MirrorRotateCommand(MainWindow& window, const CommandCall& call);
// 40013 "Bitmap&größe ändern...".
void ResizeCommand(MainWindow& window, const CommandCall& call);

}  // namespace tarkemo::app
