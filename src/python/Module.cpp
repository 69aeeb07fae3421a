// The Python extension lumacresta._core: the core's readers, spectra and
// point runs over numpy arrays. The package's Python part checks and
// completes the arguments; every entry here checks them again, so a call
// from anywhere raises a Python exception rather than crashing.

#include "python/Bindings.h"

#include <pybind11/pybind11.h>

PYBIND11_MODULE(_core, m)
{
  m.doc() = "Lumacresta's core: stacks, spectra and runs over the points of an area";
  bindReaders(m);
  bindSpectra(m);
  bindMaps(m);
}
