#include "imgproc/ImageFilters.h"

#include "input/TiffData.h"

#include <algorithm>
#include <cmath>

ProcImage frameImage(const TiffData& frame)
{
  if (frame.isEmpty())
    return ProcImage();
  ProcImage out = ProcImage::zeros(int(frame.width), int(frame.height));
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      const double v = frame.value(x, y);
      out.at(x, y) = std::isfinite(v) ? v : 0.0;
    }
  }
  out.rescan();
  return out;
}

ProcImage edgeImage(const ProcImage& image, double edgeMin, double edgeMax)
{
  ProcImage out = ProcImage::zeros(image.width, image.height);
  if (out.isEmpty())
    return out;
  const double lo = std::min(edgeMin, edgeMax);
  const double hi = std::max(edgeMin, edgeMax);
  const int w = image.width;
  const int h = image.height;
  for (int y = 0; y < h; ++y) {
    // Rows above and below, the border row standing in for the missing one.
    const double* up = &image.values[size_t(std::max(y - 1, 0)) * size_t(w)];
    const double* mid = &image.values[size_t(y) * size_t(w)];
    const double* down = &image.values[size_t(std::min(y + 1, h - 1)) * size_t(w)];
    double* o = &out.values[size_t(y) * size_t(w)];
    for (int x = 0; x < w; ++x) {
      const int a = std::max(x - 1, 0);
      const int b = std::min(x + 1, w - 1);
      const double gx = (up[b] + 2.0 * mid[b] + down[b]) - (up[a] + 2.0 * mid[a] + down[a]);
      const double gy = (down[a] + 2.0 * down[x] + down[b]) - (up[a] + 2.0 * up[x] + up[b]);
      const double e = std::sqrt(gx * gx + gy * gy) / 4.0;
      o[x] = !std::isfinite(e) || e < lo ? 0.0 : std::min(e, hi);
    }
  }
  out.rescan();
  return out;
}

ProcImage binarized(const ProcImage& image, double threshold)
{
  ProcImage out = image;
  for (double& v : out.values)
    v = v >= threshold ? 1.0 : 0.0;
  out.rescan();
  return out;
}

ProcImage baseImage(const TiffData& frame, const ProcOptions& options)
{
  const ProcImage raw = frameImage(frame);
  return options.edgeDetect ? edgeImage(raw, options.edgeMin, options.edgeMax) : raw;
}

ProcImage processedImage(const ProcImage& base, const ProcOptions& options)
{
  return options.binary ? binarized(base, options.threshold) : base;
}
