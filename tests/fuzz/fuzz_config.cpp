// Fuzzes start-up: the first line of the input is the command line (items
// split at blanks), the rest is the configuration file.
#include "FuzzSupport.h"

#include "app/ParamRegistry.h"
#include "app/Settings.h"

#include <QByteArray>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::initOnce();
  const QByteArray all(reinterpret_cast<const char*>(data), int(size));
  const int eol = all.indexOf('\n');
  const QByteArray first = eol < 0 ? all : all.left(eol);
  const QByteArray rest = eol < 0 ? QByteArray() : all.mid(eol + 1);
  const QString path = fuzz::writeInput(
    reinterpret_cast<const uint8_t*>(rest.constData()), size_t(rest.size()), ".cfg");
  // The first -config wins, so whatever the command line names, the
  // configuration read is the input.
  QStringList args{ QStringLiteral("lumacresta"), QStringLiteral("-config"), path };
  args += QString::fromUtf8(first).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  ParamRegistry reg;
  Settings s;
  prepareStartup(reg, args, s);
  return 0;
}
