#include "input/TiffLib.h"

#include <QDebug>
#include <QFile>

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>

namespace {

QString format(const char* module, const char* fmt, va_list ap)
{
  char text[512];
  std::vsnprintf(text, sizeof text, fmt, ap);
  return module && *module ? QString("%1: %2").arg(module, text) : QString(text);
}

void tiffError(const char* module, const char* fmt, va_list ap)
{
  qDebug().noquote() << "libtiff: " + format(module, fmt, ap);
}

// Per-file handlers: the reader turns what was collected into its one
// refusal line with the file's name.
int collectError(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
  auto* m = static_cast<TiffMessages*>(user);
  if (m && m->firstError.isEmpty())
    m->firstError = format(module, fmt, ap);
  return 1; // handled: the process-wide handler stays silent
}

int collectWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
  auto* m = static_cast<TiffMessages*>(user);
  if (m && m->firstWarning.isEmpty())
    m->firstWarning = format(module, fmt, ap);
  return 1;
}

// No frame a detector writes needs a single buffer this large; a damaged
// header must not make libtiff itself claim more.
constexpr tmsize_t kMaxSingleAlloc = tmsize_t(256) << 20;

} // namespace

void installTiffHandlers()
{
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(tiffError);
  });
}

QString TiffMessages::reason(const QString& fallback) const
{
  if (!firstError.isEmpty())
    return firstError;
  return firstWarning.isEmpty() ? fallback : firstWarning;
}

TIFF* openTiffForReading(const QString& fileName, TiffMessages* messages)
{
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                       TIFFOpenOptionsFree);
  if (!options)
    return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), collectError, messages);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), collectWarning, messages);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAlloc);
  // "m": read, not mapped. A mapped file's pages count as resident while
  // the frame is filled from them, so a large frame cost twice its size.
  return TIFFOpenExt(QFile::encodeName(fileName).constData(), "rm", options.get());
}
