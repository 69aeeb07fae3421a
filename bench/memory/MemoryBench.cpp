// Resident memory of reading image files as frames: for each file named on
// the command line (each best in a process of its own, for its peak), the
// file's size, the frame's raw size, the resident size after the read, the
// peak, and the same after drawing its display picture (--render). With
// several files, they are kept loaded together, as a stack.

#include "display/ColorMap.h"
#include "input/TiffData.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

double statusMb(const char* key)
{
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly))
    return 0.0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(key))
      return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
  return 0.0;
}

} // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  bool render = false;
  std::vector<std::unique_ptr<TiffData>> frames;
  double fileBytes = 0.0;
  double rawBytes = 0.0;
  const double before = statusMb("VmRSS:");
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    if (a == QLatin1String("--render")) {
      render = true;
      continue;
    }
    auto d = std::make_unique<TiffData>();
    const bool ok = d->read(a);
    fileBytes += double(QFileInfo(a).size());
    rawBytes +=
      ok ? double(d->width) * d->height * (d->pixelType == TiffData::Tiff16 ? 2 : 4) : 0.0;
    if (ok && render && frames.empty())
      d->render(ColorMapping());
    frames.push_back(std::move(d));
  }
  const double mb = 1024.0 * 1024.0;
  std::printf("files %.3f MB, frames raw %.1f MB, resident %.1f MB (%.1f before), peak %.1f MB%s\n",
              fileBytes / mb,
              rawBytes / mb,
              statusMb("VmRSS:"),
              before,
              statusMb("VmHWM:"),
              render ? ", first frame rendered" : "");
  return 0;
}
