// Fuzzes the tiff frame reader with the input as the whole file.
#include "FuzzSupport.h"

#include "input/TiffData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::initOnce();
  const QString path = fuzz::writeInput(data, size, ".tif");
  TiffData frame;
  if (frame.readTiff(path))
    fuzz::touchFrame(frame);
  // The format detection in front of the readers.
  TiffData detected;
  if (detected.read(path))
    fuzz::touchFrame(detected);
  return 0;
}
