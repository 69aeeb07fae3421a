#pragma once

#include "StackGen.h"

#include <QString>
#include <QVector>

namespace stackgen {

// One dataset of an HDF5 file to write: its path (groups are created), its
// dimensions and its values in row-major order, stored as 16-bit unsigned,
// 32-bit unsigned, 32-bit float or 64-bit float.
struct Hdf5Item
{
  enum Type
  {
    U16,
    U32,
    F32,
    F64
  };
  QString path;
  QVector<qulonglong> dims;
  QVector<double> values;
  Type type = F64;
};

// Writes the datasets into a new file `path`; false on any failure.
bool writeHdf5(const QString& path, const QVector<Hdf5Item>& items);

// The generated stack `t` as one HDF5 file, frames read back from its files
// so the two hold the same counts: "/exchange/data" (I1, energy x y x x),
// "/exchange/data_white" (I0), "/exchange/data_dark" (the dark as one
// frame) and "/exchange/energy" (eV, or keV when `keV`), as 16-bit counts.
bool writeHdf5Stack(const StackTruth& t, const QString& path, bool keV = false);

} // namespace stackgen
