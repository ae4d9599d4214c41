#include "view/page_layout.h"

#include <algorithm>

namespace brimoss {

PageLayout fit_canvas_to_page(int centerx, int centery, int w, int h) {
  const float maxX = static_cast<float>(2 * centerx + 100);
  const float maxY = static_cast<float>(2 * centery + 100);
  PageLayout p;
  p.scale = std::min(static_cast<float>(w) / maxX, static_cast<float>(h) / maxY);
  const float posX = (static_cast<float>(w) - static_cast<float>(2 * centerx) * p.scale) / 2.0f;
  const float posY = (static_cast<float>(h) - static_cast<float>(2 * centery) * p.scale) / 2.0f;
  p.originX = static_cast<int>(posX);
  p.originY = static_cast<int>(posY);
  return p;
}

}  // namespace brimoss
