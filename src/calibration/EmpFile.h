#pragma once

#include "calibration/EMPHeader.h"

#include "analysis/AnalyzeCond.h"

#include <QString>
#include <QVector>

class QTextStream;
struct AnalyzeCond;

// The energy-shift map file: a labelled header, a delimiter line, then one
// text row per image row of monochromator-angle differences (degrees), so a
// map can be read back against another standard edge energy.

// Largest map a file may describe (pixels): a header beyond it is refused
// before anything is allocated for its body.
constexpr long long kMaxEmpPixels = 1LL << 26;
// "run out!" lines a short body writes at most; the values missing beyond
// them are counted in one last line.
constexpr int kRunOutLines = 100;

// Reads the header up to and including the delimiter line. Invalid (with
// "Not a emp file." for a wrong first line) unless the delimiter is reached,
// the width, height, standard edge energy and spacing lines were all seen,
// and the values are sound: sizes positive and at most kMaxEmpPixels in all,
// 0 <= x0 <= x1 <= width and 0 <= y0 <= y1 <= height, bin half sizes >= 0,
// spacing > 0 and both numbers finite.
EMPHeader readEmpHeader(QTextStream& in);

// Reads the header's width x height values after the header and turns each
// angle difference dθ into a shift Es - E(θ(Es) + dθ). A body that ends
// early fills the rest as dθ = 0 with one "run out!" line per value, up to
// kRunOutLines, then "run out! (<n> more missing values)". False,
// with "Unreadable value in energy map : <token>", when a value is no finite
// number; `values` is then left as it was.
bool readEmpValues(QTextStream& in,
                   const EMPHeader& header,
                   double stdEdge,
                   QVector<double>& values);

// The raster the map's values were measured on (image size, bin half sizes
// and area of the header).
AnalyzeCond empRaster(const EMPHeader& header);

// True when a map of the header's size can go with the loaded images (any
// size while none is loaded); otherwise false with "Loading Energy Map size
// : ... is not matched to the current image size : ...".
bool empFitsImage(const EMPHeader& header, bool imageLoaded, int width, int height);

// What a map file records beside the values.
struct EmpWriteInfo
{
  double stdEdgeEnergy = 0.0;
  double spacing = 0.0;
  QString stdFileName;
};

// `fname` with ".emp" appended when it has no suffix at all, as an absolute
// path.
QString empFileName(const QString& fname);

// Writes `values` (a map of scan.width x scan.height, row by row; missing
// values count as 0) to empFileName(fname), with the geometry of `scan`.
// False, with "Can not open <name>", when the file cannot be written, and
// with kNoShiftMapToSaveLine, writing nothing, when there are no values: a
// 0 x 0 map read back would pass for a calibration.
inline constexpr char kNoShiftMapToSaveLine[] = "calib_save_map : no energy-shift map";
bool writeEmpFile(const QString& fname,
                  const EmpWriteInfo& info,
                  const AnalyzeCond& scan,
                  const QVector<double>& values);
