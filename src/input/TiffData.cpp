#include "input/TiffData.h"

#include "app/Refusal.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <climits>
#include <cmath>
#include <cstring>
#include <sys/mman.h>

bool TiffData::read(const QString& name)
{
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) {
    qDebug().noquote() << "Can not open (1)" << name;
    return false;
  }
  char head[15];
  if (f.read(head, sizeof head) != qint64(sizeof head)) {
    qDebug().noquote() << "Error on reading file (1)" << name;
    return false;
  }
  f.close();
  if ((head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M'))
    return readTiff(name);
  if (head[0] == 'I' && head[1] == 'M')
    return readImg(name);
  if (std::strncmp(head, "#VRSK-CTImg", 11) == 0)
    return readVrsk(name);
  // A stray file in a stack folder (a text file named ".tif") must not
  // vanish from the list without a word.
  qDebug().noquote() << "Unknown image format :" << name;
  return false;
}

void TiffData::resetRange()
{
  minValue = DBL_MAX;
  maxValue = DBL_MIN;
}

void TiffData::FreeBlock::operator()(quint8* p) const
{
  std::free(p);
}

void TiffData::clear()
{
  m_rows.clear();
  m_blocks.clear();
  m_blockFree = 0;
  m_blockEnd = nullptr;
  m_zeroRow.reset();
  width = 0;
  height = 0;
  pixelType = Empty;
}

void TiffData::startRows(int type, int bytes)
{
  m_sampleBytes = bytes;
  pixelType = type;
  m_rows.clear();
  m_blocks.clear();
  m_blockFree = 0;
  m_blockEnd = nullptr;
  m_zeroRow.reset();
}

void TiffData::endRowsWithZeros()
{
  if (m_rows.size() >= size_t(height))
    return;
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(m_sampleBytes);
  m_zeroRow.reset(new quint8[rowBytes]());
  if (width > 0) {
    minValue = std::min(minValue, 0.0);
    maxValue = std::max(maxValue, 0.0);
  }
}

quint8* TiffData::appendRow(bool zeroed)
{
  constexpr size_t kHuge = size_t(2) << 20;
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(m_sampleBytes);
  if (m_blocks.empty() || m_blockFree < rowBytes) {
    // The rest of the frame as announced, at most 2 MiB at a time (and at
    // least one row), so a header that lies costs one block, not its size.
    const size_t rest =
      rowBytes * (size_t(height) > m_rows.size() ? size_t(height) - m_rows.size() : 1);
    size_t bytes = std::max(rowBytes, std::min(rest, kHuge));
    quint8* block = nullptr;
    if (bytes >= kHuge) {
      bytes = (bytes + kHuge - 1) / kHuge * kHuge;
      block = static_cast<quint8*>(std::aligned_alloc(kHuge, bytes));
#ifdef MADV_HUGEPAGE
      if (block)
        madvise(block, bytes, MADV_HUGEPAGE);
#endif
    } else {
      block = static_cast<quint8*>(std::malloc(bytes));
    }
    if (!block)
      throw std::bad_alloc();
    m_blocks.emplace_back(block);
    m_blockEnd = block + bytes;
    m_blockFree = bytes;
  }
  quint8* row = m_blockEnd - m_blockFree;
  m_blockFree -= rowBytes;
  if (zeroed)
    std::memset(row, 0, rowBytes);
  m_rows.push_back(row);
  return row;
}

namespace {

template<typename T>
void widenRange(const T* samples, qint64 n, double& minValue, double& maxValue)
{
  if (n <= 0)
    return;
  T lo = samples[0];
  T hi = samples[0];
  for (qint64 i = 1; i < n; ++i) {
    lo = std::min(lo, samples[i]);
    hi = std::max(hi, samples[i]);
  }
  minValue = std::min(minValue, double(lo));
  maxValue = std::max(maxValue, double(hi));
}

} // namespace

void TiffData::updateRange(const quint32* samples, qint64 n)
{
  widenRange(samples, n, minValue, maxValue);
}

void TiffData::updateRange(const float* samples, qint64 n)
{
  widenRange(samples, n, minValue, maxValue);
}

// 16-bit rows are scanned as signed values (bias 0x8000): plain SSE2 has
// signed 16-bit min/max only, and this loop, the one every loaded pixel
// passes through, then runs several times faster.
void TiffData::updateRange(const quint16* samples, qint64 n)
{
  if (n <= 0)
    return;
  qint16 lo = SHRT_MAX;
  qint16 hi = SHRT_MIN;
  for (qint64 i = 0; i < n; ++i) {
    const qint16 v = qint16(samples[i] ^ 0x8000);
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
  }
  minValue = std::min(minValue, double(quint16(lo) ^ 0x8000));
  maxValue = std::max(maxValue, double(quint16(hi) ^ 0x8000));
}

const void* TiffData::row(int y) const
{
  if (pixelType == Empty || y < 0 || quint32(y) >= height)
    return nullptr;
  if (size_t(y) < m_rows.size())
    return m_rows[size_t(y)];
  return m_zeroRow.get();
}

double TiffData::value(int x, int y) const
{
  const void* r = row(y);
  if (!r || x < 0 || quint32(x) >= width)
    return 0.0;
  switch (pixelType) {
    case Tiff16:
    case Img16:
      return static_cast<const quint16*>(r)[x];
    case Img32:
      return static_cast<const quint32*>(r)[x];
    case VrskFloat:
      return static_cast<const float*>(r)[x];
    default:
      return 0.0;
  }
}

namespace {

template<typename T>
double boxSum(const TiffData& d, qint64 x0, qint64 x1, qint64 y0, qint64 y1)
{
  double sum = 0.0;
  for (qint64 y = y0; y <= y1; ++y) {
    const T* r = static_cast<const T*>(d.row(int(y)));
    double rowSum = 0.0;
    for (qint64 x = x0; x <= x1; ++x)
      rowSum += r[x];
    sum += rowSum;
  }
  return sum;
}

} // namespace

double TiffData::sample(int x, int y, int binX, int binY) const
{
  if (isEmpty())
    return 0.0;
  // 64-bit so that no bin width or position can overflow; the box is clipped
  // to the stored image once, outside positions adding 0.
  const qint64 bx = std::llabs(qint64(binX));
  const qint64 by = std::llabs(qint64(binY));
  const qint64 x0 = std::max<qint64>(qint64(x) - bx - xShift, 0);
  const qint64 x1 = std::min<qint64>(qint64(x) + bx - xShift, qint64(width) - 1);
  const qint64 y0 = std::max<qint64>(qint64(y) - by - yShift, 0);
  const qint64 y1 = std::min<qint64>(qint64(y) + by - yShift, qint64(height) - 1);
  if (x0 > x1 || y0 > y1)
    return 0.0;
  switch (pixelType) {
    case Tiff16:
    case Img16:
      return boxSum<quint16>(*this, x0, x1, y0, y1);
    case Img32:
      return boxSum<quint32>(*this, x0, x1, y0, y1);
    case VrskFloat:
      return boxSum<float>(*this, x0, x1, y0, y1);
    default:
      return 0.0;
  }
}

void TiffData::dropDisplay()
{
  displayImage = QImage();
  displayBuffer = ImageBuffer();
}

bool TiffData::render(ColorMapping mapping, QObject* origin)
{
  displayFormat = mapping.format;
  displayImage = QImage();
  // The picture has the size the header claims. A file that held only part
  // of its rows (the rest read as 0 through one shared row) gets one only
  // while it costs no more than a few times what the file held: a header
  // of a few bytes must not cost a picture of hundreds of MB when shown.
  constexpr qint64 kPictureFloor = qint64(16) << 20;
  const qint64 held = qint64(m_rows.size()) * qint64(width) * m_sampleBytes;
  const qint64 picture =
    qint64(width) * qint64(height) * (mapping.format == QImage::Format_RGB888 ? 3 : 1);
  if (qint64(m_rows.size()) < qint64(height) && picture > std::max(kPictureFloor, 4 * held)) {
    displayBuffer = ImageBuffer();
    static const char* const notDrawn = QT_TRANSLATE_NOOP(
      "Refusal",
      "Picture not drawn: the file holds %1 of the %2 x %3 rows its header announces : %4");
    const auto filled = [&](const QString& text) {
      return text.arg(m_rows.size()).arg(width).arg(height).arg(fileName);
    };
    refuse(origin,
           filled(QString::fromLatin1(notDrawn)),
           filled(QCoreApplication::translate("Refusal", notDrawn)));
    return false;
  }
  displayBuffer.reset(int(width), int(height), mapping.format);
  if (displayBuffer.isNull())
    return true; // nothing to draw
  const int w = int(width);
  const int h = int(height);
  // 16-bit frames map every possible value once instead of every pixel.
  const bool lut = (pixelType == Tiff16 || pixelType == Img16) && qint64(w) * h > 65536;
  std::vector<int> table;
  if (lut) {
    table.resize(65536);
    for (int v = 0; v < 65536; ++v)
      table[v] = mapping.index(v, minValue, maxValue);
  }
  const int outside = mapping.index(0.0, minValue, maxValue);
  // 64-bit: a shift typed at the end of the int range must not overflow.
  for (int r = 0; r < h; ++r) {
    const qint64 sy = qint64(r) - yShift;
    for (int c = 0; c < w; ++c) {
      const qint64 sx = qint64(c) - xShift;
      int index = outside;
      if (sy >= 0 && sy < h && sx >= 0 && sx < w) {
        if (lut)
          index = table[static_cast<const quint16*>(row(int(sy)))[sx]];
        else
          index = mapping.index(value(int(sx), int(sy)), minValue, maxValue);
      }
      displayBuffer.setIndex(c, r, index);
    }
  }
  displayImage = displayBuffer.image();
  return true;
}

double sampleAtEnergy(const QVector<TiffData*>& frames, double e, int x, int y, int binX, int binY)
{
  const int n = frames.size();
  if (n == 0)
    return 1.0;
  auto at = [&](int i) { return frames[i]->sample(x, y, binX, binY); };
  if (n == 1)
    return at(0);
  int lo = 0;
  int hi = n - 1;
  if (e < frames[0]->energy) {
    hi = 1;
  } else if (e >= frames[n - 1]->energy) {
    lo = n - 2;
  } else {
    while (hi - lo > 1) {
      const int mid = (lo + hi) / 2;
      if (e >= frames[mid]->energy)
        lo = mid;
      else
        hi = mid;
    }
  }
  return interpolateLine(frames[lo]->energy, at(lo), frames[hi]->energy, at(hi), e);
}
