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
  cleanFloatRows();
  return true;
}

void TiffData::cleanFloatRows()
{
  // A non-number would poison every sum over the frame (as in VRSK files).
  bool clean = true;
  for (quint32 r = 0; r < height && clean; ++r) {
    const float* row = reinterpret_cast<const float*>(rowAt(int(r)));
    for (quint32 c = 0; c < width && clean; ++c)
      clean = std::isfinite(row[c]);
  }
  if (clean)
    return;
  resetRange();
  for (quint32 r = 0; r < height; ++r) {
    float* row = reinterpret_cast<float*>(m_rows[r]);
    for (quint32 c = 0; c < width; ++c)
      if (!std::isfinite(row[c]))
        row[c] = 0.0f;
    updateRange(row, width);
  }
}

bool TiffData::fillSamples(const QString& name, quint32 w, quint32 h, int type, const RowFill& fill)
{
  const int bytes = type == Tiff16 ? 2 : (type == Img32 || type == VrskFloat) ? 4 : 0;
  if (bytes == 0 || w == 0 || h == 0 || w > kMaxSide || h > kMaxSide ||
      qint64(w) * qint64(h) > kMaxPixels) {
    clear();
    return false;
  }
  fileName = name;
  width = w;
  height = h;
  bytesPerPixel = quint16(bytes);
  scanlineSize = quint32(bytes) * w;
  resetRange();
  startRows(type, bytes);
  const size_t rowBytes = size_t(bytes) * w;
  quint32 first = 0;
  while (first < h) {
    // As many rows as follow each other in the current block.
    quint8* const start = appendRow(false);
    quint32 count = 1;
    while (first + count < h && m_blockFree >= rowBytes) {
      appendRow(false);
      ++count;
    }
    if (!fill(first, count, start)) {
      clear();
      return false;
    }
    const qint64 n = qint64(count) * w;
    if (type == Tiff16)
      updateRange(reinterpret_cast<const quint16*>(start), n);
    else if (type == Img32)
      updateRange(reinterpret_cast<const quint32*>(start), n);
    else
      updateRange(reinterpret_cast<const float*>(start), n);
    first += count;
  }
  if (type == VrskFloat)
    cleanFloatRows();
  return true;
}

bool TiffData::borrowSamples(const QString& name,
                             quint32 w,
                             quint32 h,
                             int type,
                             const void* base,
                             qint64 rowBytes)
{
  const int bytes = type == Tiff16 ? 2 : (type == Img32 || type == VrskFloat) ? 4 : 0;
  if (bytes == 0 || !base || w == 0 || h == 0 || w > kMaxSide || h > kMaxSide ||
      qint64(w) * qint64(h) > kMaxPixels || rowBytes < qint64(bytes) * w) {
    clear();
    return false;
  }
  fileName = name;
  width = w;
  height = h;
  bytesPerPixel = quint16(bytes);
  scanlineSize = quint32(bytes) * w;
  resetRange();
  startRows(type, bytes);
  m_rows.resize(h);
  // The rows are only ever read through rowAt; the cast lets them share the
  // storage of frames that own their rows.
  auto* first = static_cast<quint8*>(const_cast<void*>(base));
  for (quint32 r = 0; r < h; ++r)
    m_rows[r] = first + qint64(r) * rowBytes;
  return true;
}
