#pragma once

#include "input/TiffData.h"

#include <QString>
#include <QVector>

#include <memory>
#include <vector>

// A whole stack in one HDF5 file: a 3-D dataset (energy, y, x) of I1
// counts, optionally flats (I0), a dark and the energies. Empty names are
// searched among the usual ones: "/exchange/data", "/exchange/data_white",
// "/exchange/data_dark", "/exchange/energy", then "data", "flat", "dark",
// "energy" at the top of the file.
struct Hdf5StackNames
{
  QString data;
  QString flat;
  QString dark;
  QString energy;
};

struct Hdf5Stack
{
  // One frame per energy, ascending as the file has them, energy set.
  std::vector<std::unique_ptr<TiffData>> i1;
  // One flat for every energy (a single frame) or one per energy; empty
  // when the file has none.
  std::vector<std::unique_ptr<TiffData>> i0;
  // The dark frames' average (float); null when the file has none.
  std::unique_ptr<TiffData> dark;
  QVector<double> energies; // eV
};

// Reads `file` into `out`. The file is not trusted: anything that does not
// fit (not HDF5, a missing or non-numeric dataset, a wrong rank, frames of
// another size, an energy list of another length or not strictly
// increasing, sizes beyond what a frame may hold or what the file stores)
// writes one line (into `why` when given, else on the debug output) and
// returns false with `out` untouched. Energies all below 100 are taken as
// keV.
bool readHdf5Stack(const QString& file,
                   const Hdf5StackNames& names,
                   Hdf5Stack& out,
                   QString* why = nullptr);
