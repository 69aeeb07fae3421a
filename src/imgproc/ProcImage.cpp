#include "imgproc/ProcImage.h"

#include "display/ColorMap.h"

#include <algorithm>

ProcImage ProcImage::zeros(int width, int height)
{
  ProcImage out;
  if (width <= 0 || height <= 0)
    return out;
  out.width = width;
  out.height = height;
  out.values.assign(size_t(width) * size_t(height), 0.0);
  return out;
}

void ProcImage::rescan()
{
  min = DBL_MAX;
  max = DBL_MIN;
  if (values.empty())
    return;
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  min = *lo;
  max = *hi;
}

double ProcImage::normalized(double v) const
{
  if (max > min)
    return std::clamp((v - min) / (max - min), 0.0, 1.0);
  return v != 0.0 ? 1.0 : 0.0;
}

QImage renderProcImage(const ProcImage& image, const ColorMapping& mapping)
{
  if (image.isEmpty())
    return QImage();
  ImageBuffer buffer;
  buffer.reset(image.width, image.height, mapping.format);
  if (buffer.isNull())
    return QImage();
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      buffer.setIndex(x, y, mapping.index(image.at(x, y), image.min, image.max));
  // The buffer dies here; the caller gets pixels of its own.
  return buffer.image().copy();
}
