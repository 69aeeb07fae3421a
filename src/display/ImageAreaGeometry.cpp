#include "display/ImageAreaGeometry.h"

#include <algorithm>
#include <cmath>

ImageAreaRects imageAreaRects(const QRect& area, const QSize& aspect, const ImageAreaSizes& sizes)
{
  const int roomW = std::max(1, area.width() - sizes.profile - sizes.colourBar - 2 * sizes.spacing);
  const int roomH = std::max(1, area.height() - sizes.profile - sizes.spacing);
  int w = roomW;
  int h = roomH;
  if (aspect.width() > 0 && aspect.height() > 0) {
    const double scale = std::min(double(roomW) / aspect.width(), double(roomH) / aspect.height());
    w = std::clamp(int(std::lround(aspect.width() * scale)), 1, roomW);
    h = std::clamp(int(std::lround(aspect.height() * scale)), 1, roomH);
  }
  ImageAreaRects r;
  const int x = area.x();
  const int y = area.y();
  r.image = QRect(x, y, w, h);
  r.vProfile = QRect(x + w + sizes.spacing, y, sizes.profile, h);
  r.colourBar = QRect(r.vProfile.right() + 1 + sizes.spacing, y, sizes.colourBar, h);
  r.hProfile = QRect(x, y + h + sizes.spacing, w, sizes.profile);
  return r;
}
