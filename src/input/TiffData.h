#pragma once

#include "display/ColorMap.h"

#include <QImage>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <cfloat>
#include <functional>
#include <memory>
#include <vector>

class QObject;

// One image frame: raw detector counts of one file with its size, pixel
// type, value range, energy and alignment shift, plus the display image.
//
// A frame is filled by exactly one `read`; the readers do not render. The
// display image is built by `render` with a colour mapping passed by value,
// on the thread that owns the mapping (the GUI thread, when the frame
// arrives), so no reader ever touches the process-wide colour bar.
class TiffData
{
public:
  // Storage type of the pixels.
  enum PixelType
  {
    Tiff16 = 0,    // 16-bit unsigned, from a TIFF file
    Img16 = 1,     // 16-bit unsigned, ".img" with 2 bytes per pixel
    Img32 = 2,     // 32-bit unsigned, ".img" with 4 bytes per pixel
    VrskFloat = 3, // 32-bit float, VRSK text image
    Empty = 4
  };

  // A VRSK header, an uncompressed TIFF or a ".img" file never describes
  // more pixels than this; larger sizes come only from damaged headers.
  static constexpr qint64 kMaxPixels = qint64(1) << 28;
  static constexpr qint64 kMaxSide = 65535;

  TiffData() = default;
  TiffData(const TiffData&) = delete;
  TiffData& operator=(const TiffData&) = delete;

  int displayFormat = QImage::Format_Grayscale8;
  QString fileName;
  quint16 bytesPerPixel = 2;
  quint32 width = 0;
  quint32 height = 0;
  quint32 scanlineSize = 0;
  double minValue = DBL_MAX;
  double maxValue = DBL_MIN;
  double energy = 0.0;
  qint64 stamp = 0;
  ImageBuffer displayBuffer;
  QImage displayImage; // wraps displayBuffer; null until the first render
  qint32 xShift = 0;
  qint32 yShift = 0;
  int pixelType = Empty;

  // Detects the format by the first bytes and reads the file. False on any
  // failure (the frame is then unusable and the caller deletes it).
  bool read(const QString& fileName);
  bool readTiff(const QString& fileName);
  bool readImg(const QString& fileName);
  bool readVrsk(const QString& fileName);
  // Byte offset of the ".img" pixel data (below 1 on failure); sets width,
  // height and bytesPerPixel.
  int readImgHeader(const QString& fileName);
  // Number of VRSK header lines (-1 on failure); sets width and height.
  int readVrskHeader(const QString& fileName);

  // A frame from samples already in memory, row 0 first (`w` x `h`), e.g.
  // one slice of an HDF5 stack: 16-bit and 32-bit counts keep their type,
  // floats are stored as VRSK floats with non-finite values as 0. False
  // (an empty frame) for a size beyond kMaxSide / kMaxPixels.
  bool takeSamples(const QString& name, quint32 w, quint32 h, const quint16* samples);
  bool takeSamples(const QString& name, quint32 w, quint32 h, const quint32* samples);
  bool takeSamples(const QString& name, quint32 w, quint32 h, const float* samples);
  // The same, with the rows written in place by the caller: `fill(first,
  // count, dst)` puts rows first .. first+count-1 (w samples each, one after
  // the other) at dst, in the frame's own storage, saving the copy through a
  // buffer. `type` is Tiff16, Img32 or VrskFloat for 16-bit, 32-bit and float
  // samples. A fill that returns false fails the frame (empty, false).
  using RowFill = std::function<bool(quint32 first, quint32 count, void* dst)>;
  bool fillSamples(const QString& name, quint32 w, quint32 h, int type, const RowFill& fill);
  // A frame that reads the caller's samples in place (e.g. one slice of an
  // array handed in from Python): row r starts at base + r * rowBytes. No
  // pixel is copied or written, so the caller keeps the samples alive and
  // unchanged for the frame's life; float samples must all be finite (the
  // frame cannot clean them). The value range is left unset: it serves only
  // pictures. False (an empty frame) for a size or type takeSamples refuses.
  bool borrowSamples(const QString& name,
                     quint32 w,
                     quint32 h,
                     int type,
                     const void* base,
                     qint64 rowBytes);

  // Rebuilds the display image through `mapping`, with the frame's own
  // minimum and maximum as the value range and its shift applied. False,
  // with no image, for a frame whose file held far fewer rows than its
  // header claims (its picture would cost more than the file): a refusal,
  // logged and offered to `origin`, the window that shows the frame.
  bool render(ColorMapping mapping, QObject* origin = nullptr);
  // Frees the display image; the frame is rendered again when shown. Only
  // the frame on view keeps one, so a stack costs its raw pixels alone.
  void dropDisplay();

  // Sum of the raw samples over the box x±|binX|, y±|binY|; positions that
  // fall outside the image (after the shift) count as 0.
  double sample(int x, int y, int binX, int binY) const;
  // Raw sample at stored (unshifted) column x, row y; 0 outside.
  double value(int x, int y) const;
  // Start of stored row y in the frame's pixel type (nullptr outside).
  const void* row(int y) const;
  // Row y for a caller that has clipped y to [0, height) itself (the hot
  // loops of the runs).
  // Rows past the last one a file stored read as the shared zero row.
  const void* rowAt(int y) const
  {
    return size_t(y) < m_rows.size() ? m_rows[size_t(y)] : m_zeroRow.get();
  }
  bool isEmpty() const { return pixelType == Empty || width == 0 || height == 0; }

private:
  void resetRange();
  template<typename T>
  bool copySamples(const QString& name, quint32 w, quint32 h, const T* samples, int type);
  // Rows of a float frame with non-finite values set to 0, the range again.
  void cleanFloatRows();
  void clear(); // back to an empty frame after a failed read
  // Drops the previous pixels and sets the type of the rows to come.
  void startRows(int type, int bytes);
  // Appends a row of `width` samples (zero-filled only when asked). Rows are
  // added as they are read, so a damaged file fails before its announced
  // size has been allocated.
  quint8* appendRow(bool zeroed);
  // The rows from the last appended one to `height` all read as 0 through
  // one shared row: a header that announces rows the file does not hold
  // costs one row of memory, not the announced image.
  void endRowsWithZeros();
  // Widen minValue/maxValue by n samples.
  void updateRange(const quint16* samples, qint64 n);
  void updateRange(const quint32* samples, qint64 n);
  void updateRange(const float* samples, qint64 n);

  // Rows, row 0 first, carved out of blocks allocated as the rows arrive:
  // a frame of 2 MiB or more takes 2 MiB blocks the kernel may back with
  // huge pages (a stack of gigabytes then faults in a few thousand pages,
  // not a million), a smaller frame one block of its own size.
  struct FreeBlock
  {
    void operator()(quint8* p) const;
  };
  std::vector<std::unique_ptr<quint8, FreeBlock>> m_blocks;
  quint8* m_blockEnd = nullptr; // end of the last block
  size_t m_blockFree = 0;       // bytes left at the end of the last block
  std::vector<quint8*> m_rows;
  std::unique_ptr<quint8[]> m_zeroRow; // rows m_rows.size() .. height-1
  int m_sampleBytes = 0;
};

// The straight line through (xa, ya) and (xb, yb) at x; the mean of the two
// values when xa == xb.
inline double interpolateLine(double xa, double ya, double xb, double yb, double x)
{
  if (xa == xb)
    return (ya + yb) / 2.0;
  return (yb - ya) / (xb - xa) * (x - xa) + ya;
}

// Value of a frame list (ascending energy) at energy e: 1.0 for no frames,
// the frame itself for one, otherwise the straight line through the two
// frames around e (through the first or last two beyond the ends).
double sampleAtEnergy(const QVector<TiffData*>& frames, double e, int x, int y, int binX, int binY);
