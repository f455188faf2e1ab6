#pragma once
// The program's built-in pictures, drawn by code: the splash artwork (its outline cut out in
// white), the splash's background tile and the viewer's icon.
#include "platform/bitmap.h"

namespace velk {

Bitmap SplashArtwork();    // 350 x 139, white outside the shape
Bitmap SplashTile();       // 16 x 16, a soft paper texture
Bitmap ViewerIcon();       // 37 x 33, a framed landscape

}  // namespace velk
