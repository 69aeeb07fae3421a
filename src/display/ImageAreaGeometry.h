#pragma once

#include <QRect>
#include <QSize>

// Where the parts of the main window's image area go: the image drawn with
// the shape of the image it shows (a square stack as a square), the
// vertical profile and the colour bar to its right and the horizontal
// profile below it, each as long as the image's side it belongs to, so the
// profiles line up with the image.
struct ImageAreaRects
{
  QRect image;
  QRect vProfile;
  QRect colourBar;
  QRect hProfile;
};

struct ImageAreaSizes
{
  int profile = 110; // thickness of either profile view
  int colourBar = 44;
  int spacing = 4;
};

// `aspect` is the shown image's size; an empty one fills the room.
ImageAreaRects imageAreaRects(const QRect& area, const QSize& aspect, const ImageAreaSizes& sizes);
