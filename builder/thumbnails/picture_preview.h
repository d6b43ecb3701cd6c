// The add-photos dialog's preview pane: the picture fitted into the pane, centred, never
// enlarged. JPEG photos are decoded at a reduced scale and turned upright as the strip
// shows them; other kinds go through the picture wrapper.
#pragma once
#include <string>

#include "platform/win32/wingui/surface.h"

namespace prismora::thumbnails {

// False when the file is no picture that can be shown; the pane is then left as it was.
bool DrawPicturePreview(const std::string& path, wingui::Surface& pane);

}  // namespace prismora::thumbnails
