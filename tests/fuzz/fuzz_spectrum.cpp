// Fuzzes the spectrum file reader ("9809" files and two-column files) and
// the normalisation that follows every successful load.
#include "FuzzSupport.h"

#include "spectrum/XafsSpectrum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::initOnce();
  const QString path = fuzz::writeInput(data, size, ".dat");
  XafsSpectrum s;
  if (s.load(path) && s.points.size() > 0)
    s.fitLines(0.0, 0);
  return 0;
}
