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
    const int ya = std::max(y - 1, 0);
    const int yb = std::min(y + 1, h - 1);
    for (int x = 0; x < w; ++x) {
      const int xa = std::max(x - 1, 0);
      const int xb = std::min(x + 1, w - 1);
      const double gx = (image.at(xb, ya) + 2.0 * image.at(xb, y) + image.at(xb, yb)) -
                        (image.at(xa, ya) + 2.0 * image.at(xa, y) + image.at(xa, yb));
      const double gy = (image.at(xa, yb) + 2.0 * image.at(x, yb) + image.at(xb, yb)) -
                        (image.at(xa, ya) + 2.0 * image.at(x, ya) + image.at(xb, ya));
      double e = std::sqrt(gx * gx + gy * gy) / 4.0;
      if (!std::isfinite(e) || e < lo)
        e = 0.0;
      else if (e > hi)
        e = hi;
      out.at(x, y) = e;
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
