#include "input/TiffLib.h"

#include <QDebug>

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

void tiffError(const char* module, const char* fmt, va_list ap)
{
  char text[512];
  std::vsnprintf(text, sizeof text, fmt, ap);
  qDebug().noquote() << QString("libtiff: %1: %2").arg(module ? module : "", text);
}

} // namespace

void installTiffHandlers()
{
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(tiffError);
  });
}
