#include "batch/BatchFile.h"

#include "app/TextLines.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

BatchFileRead readBatchFile(const QString& file, QStringList& lines)
{
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
    return BatchFileRead::CannotOpen;
  QStringList read;
  TextLines in(f);
  for (QString line; in.next(line);)
    read << line;
  if (in.overlong())
    return BatchFileRead::Overlong;
  lines = read;
  return BatchFileRead::Done;
}

bool writeBatchFile(const QString& file, const QString& text)
{
  QSaveFile f(file);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can not open batch file : " + file;
    return false;
  }
  QTextStream out(&f);
  out << text;
  out.flush();
  if (!f.commit()) {
    qDebug().noquote() << "Can not write batch file : " + file;
    return false;
  }
  return true;
}
