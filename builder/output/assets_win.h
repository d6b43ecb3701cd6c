// The two wizard pictures of the installer, written as Windows bitmaps of fixed size.
#pragma once
#include <string>

#include "builder/photos/win32/dib_surface.h"
#include "platform/seams.h"

namespace prismora::output {

// Each drawer draws the picture its image control shows, stretched into the rectangle
// it is given (the window passes its picture wrapper, or DrawBitmapStretched for the
// built-in pictures). Writes «folder»ImageWizardImageFile.bmp (164 × 314) and
// «folder»ImageWizModernSmallImage.bmp (55 × 55), 24 bits, whatever the picture's own
// size; false with `error` set when a file cannot be written.
bool SaveWizardImages(const photos::PictureDrawer& wizardImage,
                      const photos::PictureDrawer& wizardSmallImage, const std::string& folder,
                      platform::FileSystem& files, std::string& error);

}  // namespace prismora::output
