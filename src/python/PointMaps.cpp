#include "python/PointMaps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace py = pybind11;

AnalyzeCond pointArea(int width, int height, int bx, int by, const QVector<double>& region)
{
  if (bx < 0 || by < 0)
    throw py::value_error("band half widths must not be negative");
  double x = 0, y = 0, w = width, h = height;
  if (!region.isEmpty()) {
    if (region.size() != 4)
      throw py::value_error("region must be (x, y, width, height)");
    for (double v : region)
      if (!std::isfinite(v))
        throw py::value_error("region must be finite");
    x = region[0];
    y = region[1];
    w = region[2];
    h = region[3];
    if (!(w > 0) || !(h > 0))
      throw py::value_error("region must have a positive width and height");
    if (x < 0 || y < 0 || x >= width || y >= height)
      throw py::value_error("region starts outside the frames (" + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels)");
  }
  AnalyzeCond cond;
  cond.setup(width, height, bx, by, x, y, w, h);
  return cond;
}

void runPoints(const AnalyzeCond& cond,
               std::shared_ptr<const PointKernel> kernel,
               int threads,
               const PointRun::Recorder& recorder)
{
  PointRun run;
  run.setThreadCount(threads > 0 ? threads : std::max(1, int(std::thread::hardware_concurrency())));
  run.start(cond, std::move(kernel), recorder);
  run.waitForEnd();
}

py::array_t<double> mapArray(const QVector<double>& values, int width, int height)
{
  py::array_t<double> out({ py::ssize_t(height), py::ssize_t(width) });
  double* dst = out.mutable_data();
  const size_t n = size_t(width) * size_t(height);
  if (size_t(values.size()) >= n)
    std::memcpy(dst, values.constData(), n * sizeof(double));
  else
    std::fill(dst, dst + n, 0.0);
  return out;
}
