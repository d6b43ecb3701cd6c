// The installer's wizard pictures as the platform draws them: whatever picture an image
// control shows (or a picture file holds), stretched to the exact size of its slot.
#pragma once
#include <string>

#include "builder/photos/pixels.h"
#include "builder/photos/win32/dib_surface.h"

namespace prismora::output {

// Draws the picture stretched over width × height pixels with the plain colour-on-colour
// stretch, whatever its own size; `draw` gets the whole rectangle. False (with `error`)
// when the platform refuses the drawing surface.
bool StretchedPicture(const photos::PictureDrawer& draw, int width, int height, photos::PixelImage& out,
                      std::string& error);

}  // namespace prismora::output
