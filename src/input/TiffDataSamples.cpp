#include "input/TiffData.h"

#include <cmath>
#include <cstring>

// Frames that come from a container file (HDF5) rather than one image file:
// the container's reader hands over one slice at a time.

template<typename T>
bool TiffData::copySamples(const QString& name, quint32 w, quint32 h, const T* samples, int type)
{
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || qint64(w) * qint64(h) > kMaxPixels) {
    clear();
    return false;
  }
  fileName = name;
  width = w;
  height = h;
  bytesPerPixel = quint16(sizeof(T));
  scanlineSize = quint32(sizeof(T) * w);
  resetRange();
  startRows(type, int(sizeof(T)));
  for (quint32 r = 0; r < h; ++r) {
    T* out = reinterpret_cast<T*>(appendRow(false));
    std::memcpy(out, samples + size_t(r) * w, sizeof(T) * w);
    updateRange(out, w);
  }
  return true;
}

bool TiffData::takeSamples(const QString& name, quint32 w, quint32 h, const quint16* samples)
{
  return copySamples(name, w, h, samples, Tiff16);
}

bool TiffData::takeSamples(const QString& name, quint32 w, quint32 h, const quint32* samples)
{
  return copySamples(name, w, h, samples, Img32);
}

bool TiffData::takeSamples(const QString& name, quint32 w, quint32 h, const float* samples)
{
  if (!copySamples(name, w, h, samples, VrskFloat))
    return false;
  // A non-number would poison every sum over the frame (as in VRSK files).
  bool clean = true;
  for (quint32 r = 0; r < h && clean; ++r) {
    const float* row = reinterpret_cast<const float*>(rowAt(int(r)));
    for (quint32 c = 0; c < w && clean; ++c)
      clean = std::isfinite(row[c]);
  }
  if (clean)
    return true;
  resetRange();
  for (quint32 r = 0; r < h; ++r) {
    float* row = reinterpret_cast<float*>(m_rows[r]);
    for (quint32 c = 0; c < w; ++c)
      if (!std::isfinite(row[c]))
        row[c] = 0.0f;
    updateRange(row, w);
  }
  return true;
}
