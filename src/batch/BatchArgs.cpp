#include "batch/BatchArgs.h"

#include <QDebug>
#include <QDir>

QStringList batchFilesOfPattern(const QString& dir, const QString& pattern)
{
  const QDir d(dir);
  QStringList files;
  if (!d.exists()) {
    qDebug().noquote() << QStringLiteral("No such folder : %1 (pattern %2)").arg(dir, pattern);
    return files;
  }
  for (const QString& name : d.entryList({ pattern }, QDir::Files, QDir::Name))
    files << d.filePath(name);
  return files;
}
