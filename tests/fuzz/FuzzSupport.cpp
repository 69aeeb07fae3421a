#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

#include <unistd.h>

namespace fuzz {

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

QString& scratchName()
{
  static QString name;
  return name;
}

void removeScratch()
{
  QFile::remove(scratchName());
}

} // namespace

void initOnce()
{
  static bool done = false;
  if (done)
    return;
  done = true;
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = { name, nullptr };
  // Never destroyed: libFuzzer ends the process with exit().
  new QCoreApplication(argc, argv);
  if (qEnvironmentVariableIsEmpty("LUMACRESTA_FUZZ_VERBOSE"))
    qInstallMessageHandler(quiet);
}

QString writeInput(const uint8_t* data, size_t size, const char* suffix)
{
  static const QString dir =
    QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
  const QString path =
    QStringLiteral("%1/lumacresta-fuzz-%2%3").arg(dir).arg(qint64(getpid())).arg(suffix);
  if (scratchName() != path) {
    if (scratchName().isEmpty())
      std::atexit(removeScratch);
    QFile::remove(scratchName());
    scratchName() = path;
  }
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    f.write(reinterpret_cast<const char*>(data), qint64(size));
  return path;
}

} // namespace fuzz

#include "input/TiffData.h"

namespace fuzz {

void touchFrame(TiffData& frame)
{
  const int w = int(frame.width);
  const int h = int(frame.height);
  volatile double sink = 0.0;
  const int xs[] = { -1, 0, w / 2, w - 1, w };
  const int ys[] = { -1, 0, h / 2, h - 1, h };
  for (int x : xs) {
    for (int y : ys) {
      sink = sink + frame.value(x, y) + frame.sample(x, y, 0, 0) + frame.sample(x, y, 2, 1);
    }
  }
  frame.xShift = 1;
  frame.yShift = -1;
  sink = sink + frame.sample(0, 0, 1, 1);
  // The display image needs width x height bytes; the readers bound the
  // size, drawing huge (but valid) frames only costs time.
  if (qint64(w) * h <= (qint64(1) << 20))
    frame.render(ColorMapping());
  (void)sink;
}

} // namespace fuzz
