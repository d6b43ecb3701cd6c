// Where the parts of one item of the thumbnail strip go. Free of the platform so the
// rules can be checked exactly.
#pragma once
#include "builder/photos/picture_geometry.h"

namespace prismora::thumbnails {

// The strip measures and fits its pictures as the readers do.
using photos::FitPicture;
using photos::PlacePicture;
using photos::Rect;
using photos::Size;

// Where an item's parts go. The item frame is the item rectangle; the content lies 2
// pixels inside it; the caption takes `captionHeight` pixels at the content's bottom
// (0 when captions are off) and the picture area is what remains above it.
struct ItemLayout {
  Rect frame;
  Rect content;
  Rect caption;
  Rect pictureArea;
};
ItemLayout LayoutItem(Rect item, int captionHeight);

}  // namespace prismora::thumbnails
