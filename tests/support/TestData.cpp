#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lctest {

QString sharedDataFile(const QString& name)
{
  const QString path = QStringLiteral(LUMACRESTA_SOURCE_DIR "/../shared/data/") + name;
  return QFileInfo::exists(path) ? QDir::cleanPath(path) : QString();
}

QString scratchDir(const QString& testName)
{
  QDir dir(QStringLiteral(LUMACRESTA_BINARY_DIR "/test-scratch/") + testName);
  dir.removeRecursively();
  QDir().mkpath(dir.absolutePath());
  return dir.absolutePath();
}

QByteArray readFile(const QString& path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
  QFile::remove(path);
  QFile f(path);
  if (f.open(QIODevice::WriteOnly))
    f.write(bytes);
  return path;
}

} // namespace lctest
