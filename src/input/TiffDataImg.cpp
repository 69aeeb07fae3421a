#include "input/TiffData.h"

#include <QDebug>
#include <QFile>

namespace {

quint16 le16(const uchar* p)
{
  return quint16(p[0] | (p[1] << 8));
}

// The value of `key` in a comma-separated "key=value" comment: from just
// behind the first occurrence of the key to the next comma or the end.
QString commentValue(const QString& comment, const QString& key, const QString& fallback)
{
  const int at = comment.indexOf(key);
  if (at < 0)
    return fallback;
  const int from = at + key.size();
  const int comma = comment.indexOf(QLatin1Char(','), from);
  return comment.mid(from, comma < 0 ? -1 : comma - from);
}

} // namespace

int TiffData::readImgHeader(const QString& name)
{
  width = 0;
  height = 0;
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) {
    qDebug().noquote() << "Can not open" << name << "[" << int(f.error()) << "]";
    return 0;
  }
  uchar head[10];
  if (f.read(reinterpret_cast<char*>(head), sizeof head) != qint64(sizeof head)) {
    qDebug().noquote() << "Error on reading (4)" << name;
    return 0;
  }
  const int commentLength = le16(head + 2);
  QString comment;
  if (f.seek(64))
    comment = QString::fromLatin1(f.read(commentLength));
  // The comment also names the size ("Prop_ImageWidth=", "Prop_ImageHeight="),
  // but the binary header is the one that counts.
  bytesPerPixel = quint16(commentValue(comment, "BytesPerPixel=", "2").toInt());
  width = le16(head + 4);
  height = le16(head + 6);
  return 64 + commentLength;
}

bool TiffData::readImg(const QString& name)
{
  const int offset = readImgHeader(name);
  if (offset < 1)
    return false;
  fileName = name;
  resetRange();
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) {
    qDebug().noquote() << "Can not open (2)" << name;
    return false;
  }
  const bool wide = bytesPerPixel == 4;
  const int bytes = wide ? 4 : 2;
  const qint64 rowBytes = qint64(width) * bytes;
  // Checked before allocating: a damaged header announcing more pixels than
  // the file holds must not claim the memory for them.
  if (qint64(offset) + rowBytes * height > f.size() || !f.seek(offset)) {
    qDebug().noquote()
      << QString("invalid file size. expected (h,w) = %1 %2").arg(height).arg(width);
    qDebug().noquote() << (wide ? "Error on reading (2)" : "Error on reading (3)") << name;
    clear();
    return false;
  }
  startRows(wide ? Img32 : Img16, bytes);
  // A frame without columns stays empty (no run of empty rows).
  const quint32 rows = width > 0 ? height : 0;
  for (quint32 r = 0; r < rows; ++r) {
    if (f.read(reinterpret_cast<char*>(appendRow(false)), rowBytes) != rowBytes) {
      qDebug().noquote() << (wide ? "Error on reading (2)" : "Error on reading (3)") << name;
      clear();
      return false;
    }
    if (wide)
      updateRange(static_cast<const quint32*>(row(int(r))), width);
    else
      updateRange(static_cast<const quint16*>(row(int(r))), width);
  }
  return true;
}
