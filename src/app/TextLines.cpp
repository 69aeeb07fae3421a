#include "app/TextLines.h"

#include <QIODevice>

TextLines::TextLines(QIODevice& device, int maxLineBytes)
  : m_device(device)
  , m_max(maxLineBytes)
{
}

bool TextLines::next(QString& line)
{
  if (m_overlong)
    return false;
  // Room for the longest allowed line, "\r\n" and the terminating zero: a
  // longer line shows without reading the rest of it.
  if (m_buffer.isEmpty())
    m_buffer.resize(m_max + 3);
  qint64 n = m_device.readLine(m_buffer.data(), m_buffer.size());
  if (n <= 0)
    return false;
  const char* data = m_buffer.constData();
  if (data[n - 1] == '\n')
    --n;
  if (n > 0 && data[n - 1] == '\r')
    --n;
  if (n > m_max) {
    m_overlong = true;
    return false;
  }
  line = QString::fromLocal8Bit(data, int(n));
  return true;
}
