#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target needs: a Qt application object (some readers use
// QTextStream codecs and the event loop), debug output swallowed so the
// fuzzer's own log stays readable, and the input written to a file, since
// the readers take file names.
namespace fuzz {

// Idempotent; call at the top of LLVMFuzzerTestOneInput.
void initOnce();

// Writes the input to this process's scratch file (in /dev/shm where it
// exists) and returns its name. The same name is reused for every input.
QString writeInput(const uint8_t* data, size_t size, const char* suffix);

} // namespace fuzz

class TiffData;

namespace fuzz {

// Reads every sample path of a frame the way the spectrum and display code
// do: corners and centre with and without binning, and a render when the
// frame is small enough to draw.
void touchFrame(TiffData& frame);

} // namespace fuzz
