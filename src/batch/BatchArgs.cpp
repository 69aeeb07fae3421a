#include "batch/BatchArgs.h"

#include "input/Hdf5Stack.h"

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

bool hdf5StackArgs(const QString& word,
                   const QStringList& items,
                   QString& file,
                   Hdf5StackNames& names)
{
  if (items.isEmpty() || items.at(0).isEmpty()) {
    qDebug().noquote() << QStringLiteral("%1 : no file name").arg(word);
    return false;
  }
  for (int i = 1; i < items.size(); ++i) {
    const QString& item = items.at(i);
    const int eq = item.indexOf('=');
    const QString key = item.left(eq).toLower();
    const QString value = eq < 0 ? QString() : item.mid(eq + 1);
    QString* target = key == QLatin1String("data")     ? &names.data
                      : key == QLatin1String("flat")   ? &names.flat
                      : key == QLatin1String("dark")   ? &names.dark
                      : key == QLatin1String("energy") ? &names.energy
                                                       : nullptr;
    if (eq < 0 || !target || value.isEmpty()) {
      qDebug().noquote() << QStringLiteral("%1 : unknown argument %2").arg(word, item);
      return false;
    }
    *target = value;
  }
  file = items.at(0);
  return true;
}
