#include "BlobFrames.h"

#include "StackGen.h"
#include "input/TiffData.h"

#include <QDir>

#include <cmath>

namespace blobs {

quint32 value(int x, int y, int dx, int dy)
{
  auto blob = [&](double cx, double cy, double sigma, double height) {
    const double ax = x - dx - cx;
    const double ay = y - dy - cy;
    return height * std::exp(-(ax * ax + ay * ay) / (2.0 * sigma * sigma));
  };
  return quint32(std::lround(blob(20.0, 18.0, 5.0, 3000.0) + blob(31.0, 24.0, 3.0, 2000.0)));
}

std::unique_ptr<TiffData> frame(const QString& dir,
                                const QString& name,
                                int dx,
                                int dy,
                                int width,
                                int height)
{
  stackgen::Counts counts;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      counts.append(value(x, y, dx, dy));
  const QString path = QDir(dir).filePath(name + QStringLiteral(".tif"));
  if (!stackgen::writeFrame(path, stackgen::Format::Tiff, width, height, counts))
    return nullptr;
  auto f = std::make_unique<TiffData>();
  return f->read(path) ? std::move(f) : nullptr;
}

} // namespace blobs
