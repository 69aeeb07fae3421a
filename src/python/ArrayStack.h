#pragma once

// Python's headers name a member "slots", which Qt defines as a macro: they
// come first in every file of the extension.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "stack/StackSpectra.h"

#include <QVector>

#include <memory>
#include <vector>

class TiffData;

// A stack handed in from Python as numpy arrays: I1 frames (energy, y, x),
// optional I0 frames of the same shape, an optional dark frame (y, x) and the
// energies. The frames read the arrays' samples in place (uint16, uint32 or
// float32 with contiguous rows); only a float frame holding a non-finite
// sample is copied, because the core reads such samples as 0. The arrays are
// held here, so the stack stays valid while the GIL is released.
class ArrayStack
{
public:
  // Throws TypeError for a wrong dtype or rank, ValueError for shapes that
  // do not match, energies that are not finite and strictly increasing, or
  // frames beyond what the core holds.
  ArrayStack(const pybind11::array& i1,
             const pybind11::object& i0,
             const pybind11::object& dark,
             const pybind11::array_t<double>& energies,
             bool fluorescence);
  ~ArrayStack();
  ArrayStack(const ArrayStack&) = delete;
  ArrayStack& operator=(const ArrayStack&) = delete;

  const StackView& view() const { return m_view; }
  int width() const { return m_view.width; }
  int height() const { return m_view.height; }
  const QVector<double>& energies() const { return m_energies; }

private:
  std::vector<pybind11::array> m_held;
  std::vector<std::unique_ptr<TiffData>> m_frames;
  QVector<double> m_energies;
  StackView m_view;
};

// Frames of one 3-D array as TiffData, borrowed where possible; the caller
// keeps `a` alive. Used for stacks and by the readers' tests.
std::vector<std::unique_ptr<TiffData>> framesOf(const pybind11::array& a,
                                                const QVector<double>& energies,
                                                const char* what);
