#pragma once

#include <QString>
#include <QVector>

class Analyzed2DRes;

// Result maps as one HDF5 file, for users who go on in Python or similar:
// one dataset per map ("/maps/map_000", "/maps/map_001", ... in the order
// given), each a height x width array of doubles, row 0 first, holding the
// values the map shows (the processed values when they are selected), with
// the attributes
//   "name"      the map's label ("LCF Ref 1 Amount", "LCF Ref 2 Fraction":
//               reference row and kind; Analyzed2DRes::label),
//   "reference_file" the file the map was made from, when there is one,
//   "area"      x0, y0, x1, y1 of the analysed area (int),
//   "bin_half"  the bin half width and height (int),
//   "min", "max" the recorded range (double).
// The root holds "creator" = "Lumacresta" and "map_count". Maps without data
// are left out. The file is written beside its final name and moved there
// only when complete, so a failed save keeps the file that was there.
// False, with one debug line, when nothing could be written.
bool writeMapsHdf5(const QString& fileName, const QVector<const Analyzed2DRes*>& maps);

// `fname` with the suffix "h5" when it has none.
QString hdf5MapFileName(const QString& fname);
