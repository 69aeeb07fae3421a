#include "support/TestData.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace lctest {

QString sharedDataFile(const QString& name)
{
  const QString path = QStringLiteral(LUMACRESTA_SOURCE_DIR "/../shared/data/") + name;
  return QFileInfo::exists(path) ? QDir::cleanPath(path) : QString();
}

QString scratchDir(const QString& testName)
{
  // CTest runs every test case in its own process, several at a time: cases
  // sharing a fixture's folder name must not clear each other's files.
  QString folder = testName;
  if (const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info())
    folder += QStringLiteral("/%1.%2").arg(QString::fromUtf8(info->test_suite_name()),
                                           QString::fromUtf8(info->name()));
  QDir dir(QStringLiteral(LUMACRESTA_BINARY_DIR "/test-scratch/") + folder);
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

bool sameBytes(const QVector<double>& a, const QVector<double>& b)
{
  return a.size() == b.size() &&
         std::memcmp(a.constData(), b.constData(), sizeof(double) * size_t(a.size())) == 0;
}

bool sameBytes(const QVector<QVector<double>>& a, const QVector<QVector<double>>& b)
{
  if (a.size() != b.size())
    return false;
  for (int i = 0; i < a.size(); ++i)
    if (!sameBytes(a[i], b[i]))
      return false;
  return true;
}

} // namespace lctest
