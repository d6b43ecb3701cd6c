#include "builder/thumbnails/thumbnail_geometry.h"

namespace prismora::thumbnails {

ItemLayout LayoutItem(Rect item, int captionHeight) {
  ItemLayout l;
  l.frame = item;
  l.content = {item.left + 2, item.top + 2, item.right - 2, item.bottom - 2};
  l.caption = {l.content.left, l.content.bottom - captionHeight, l.content.right,
               l.content.bottom};
  l.pictureArea = l.content;
  l.pictureArea.bottom -= captionHeight;
  return l;
}

}  // namespace prismora::thumbnails
