#pragma once

#include <QImage>

#include <cfloat>
#include <vector>

struct ColorMapping;

// One image of doubles as the image processor works on it: a frame turned
// into intensities, edges or a binary mask, a reference, or the comparison
// of two. A value type; copies are independent.
struct ProcImage
{
  int width = 0;
  int height = 0;
  std::vector<double> values; // row 0 first, width x height
  // The "nothing scanned yet" markers until rescan() sees a value.
  double min = DBL_MAX;
  double max = DBL_MIN;

  bool isEmpty() const { return width <= 0 || height <= 0; }
  // Zero-filled image of the given size (empty for a non-positive side).
  static ProcImage zeros(int width, int height);
  double at(int x, int y) const { return values[size_t(y) * size_t(width) + size_t(x)]; }
  double& at(int x, int y) { return values[size_t(y) * size_t(width) + size_t(x)]; }
  // Recomputes min and max from the values. An image without values keeps
  // the markers; otherwise they are the true extremes, negative ones too.
  void rescan();
  // v scaled to [0, 1] by the image's range; a flat image gives 1 for a
  // non-zero value and 0 for zero, so an all-set mask still shows as set.
  double normalized(double v) const;
};

// The image through a colour mapping, scaled by its own min and max.
QImage renderProcImage(const ProcImage& image, const ColorMapping& mapping);
