#pragma once

#include <QString>

#include <memory>

class TiffData;

namespace blobs {

constexpr int kWidth = 48;
constexpr int kHeight = 40;

// Counts of a frame holding two Gaussian blobs of different size on a dark
// background, its content moved by (dx, dy): value(x, y, dx, dy) equals
// value(x - dx, y - dy, 0, 0).
quint32 value(int x, int y, int dx, int dy);

// That frame of the given size written as a 16-bit TIFF into `dir` and
// read back; nullptr when either step fails.
std::unique_ptr<TiffData> frame(const QString& dir,
                                const QString& name,
                                int dx,
                                int dy,
                                int width = kWidth,
                                int height = kHeight);

} // namespace blobs
