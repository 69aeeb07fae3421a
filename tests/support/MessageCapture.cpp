#include "support/MessageCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace lctest {

namespace {
QMutex g_mutex;
QStringList g_lines;

void captureHandler(QtMsgType, const QMessageLogContext&, const QString& msg)
{
  QMutexLocker lock(&g_mutex);
  g_lines << msg;
}
} // namespace

MessageCapture::MessageCapture()
{
  clear();
  m_previous = qInstallMessageHandler(captureHandler);
}

MessageCapture::~MessageCapture()
{
  qInstallMessageHandler(m_previous);
}

QStringList MessageCapture::messages() const
{
  QMutexLocker lock(&g_mutex);
  return g_lines;
}

bool MessageCapture::has(const QString& line) const
{
  return messages().contains(line);
}

bool MessageCapture::contains(const QString& text) const
{
  return count(text) > 0;
}

int MessageCapture::count(const QString& text) const
{
  int n = 0;
  for (const QString& l : messages())
    n += l.contains(text) ? 1 : 0;
  return n;
}

void MessageCapture::clear()
{
  QMutexLocker lock(&g_mutex);
  g_lines.clear();
}

} // namespace lctest
