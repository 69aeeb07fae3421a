// The Python extension lumacresta._core: the core's readers, spectra and
// point runs over numpy arrays. The package's Python part checks and
// completes the arguments; every entry here checks them again, so a call
// from anywhere raises a Python exception rather than crashing.

#include "python/Bindings.h"

#include <pybind11/pybind11.h>

#include "spectrum/EdgeTable.h"

PYBIND11_MODULE(_core, m)
{
  // The edge table, as the program loads it at start-up: element rows take
  // their edge energies from it. Written here, once, at import.
  loadEdgeTable();
  m.doc() = "Lumacresta's core: stacks, spectra and runs over the points of an area";
  bindReaders(m);
  bindSpectra(m);
  bindMaps(m);
  bindElements(m);
  bindComponents(m);
}
