#pragma once

// Sample image stacks with exactly known content, for tests, benchmarks
// and demonstrations.
//
// Two levels:
// - frame writers: one image of given counts in any of the program's input
//   formats (16-bit TIFF, ".img" with 2 or 4 bytes per pixel, VRSK text);
// - the physical mode: a thin-sample transmission stack over an energy grid
//   around an absorption edge, from a thickness map and a per-pixel mixture
//   of chemical components, with its truth written beside it.

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <functional>

namespace stackgen {

enum class Format
{
  Tiff,  // 16-bit TIFF, ".tif"
  Img16, // ".img", 2 bytes per pixel
  Img32, // ".img", 4 bytes per pixel
  Vrsk   // VRSK text image, ".dat"; stored value = written value x 500
};

QString extension(Format format); // "tif", "img" or "dat"
// "tif", "img16", "img32", "vrsk" and back; false for an unknown name.
QString formatName(Format format);
bool formatFromName(const QString& name, Format& format);

// "<prefix>_EEEEE_FFFF.<ext>": the energy in eV with five integer digits
// and four decimals, e.g. "I1_08979_5000.tif" for 8979.5 eV, which the
// first energy-from-name pattern reads back.
QString frameFileName(const QString& prefix, double energy, Format format);

// Counts of one frame, row 0 first (width x height values).
using Counts = QVector<quint32>;

// The ".img" comment the writer uses by default: "Prop_ImageWidth=w,
// Prop_ImageHeight=h,BytesPerPixel=b".
QString imgComment(int width, int height, int bytesPerPixel);

// Writes one frame. TIFF and 2-byte ".img" clamp counts to 65535. VRSK
// writes count / 500 so that the reader's x500 gives the count back.
bool writeFrame(const QString& path, Format format, int width, int height, const Counts& counts);
// A ".img" with a chosen comment (tests of the header rules).
bool writeImg(const QString& path,
              int width,
              int height,
              int bytesPerPixel,
              const Counts& counts,
              const QString& comment);
// A VRSK file with RANGE_X0/X1/Y0/Y1 = x0, x0+width, y0, y0+height and one
// "x y value" line per pixel (values written as given, not scaled).
bool writeVrsk(const QString& path,
               int width,
               int height,
               const QVector<double>& values,
               int x0 = 0,
               int y0 = 0);

// Writes one frame per energy into `dir` (created if needed), named by
// frameFileName(prefix, energy, format), pixel (x, y) of frame k holding
// value(x, y, k). Returns the paths in energy order; empty on failure.
QStringList writeSimpleStack(const QString& dir,
                             const QString& prefix,
                             Format format,
                             int width,
                             int height,
                             const QVector<double>& energies,
                             const std::function<quint32(int x, int y, int k)>& value);

// One chemical component: mu(E) at unit thickness is a smooth falling
// pre-edge background, an arctangent edge step of height `step` centred at
// `edge` and a Lorentzian white line of height `whiteLine` just above it.
struct Component
{
  QString name;
  double edge = 8979.0;         // eV
  double step = 1.0;            // edge jump
  double preEdge = 0.3;         // background at the edge energy
  double whiteLine = 0.6;       // peak height above the step
  double whiteLineOffset = 4.0; // eV above the edge
  double whiteLineWidth = 3.0;  // eV, full width at half maximum
  double edgeWidth = 1.5;       // eV, width of the arctangent step
};

// mu(E) of a component at unit thickness.
double componentMu(const Component& c, double energy);

struct StackSpec
{
  int width = 24;
  int height = 16;
  QVector<double> energies; // empty: 61 points, 8940..9060 eV
  // Two components 5 eV apart when empty; three are allowed.
  QVector<Component> components;
  // Per component a width x height fraction map (summing to 1 per pixel).
  // Empty: component 0 falls linearly from 1 at the left edge to 0 at the
  // right, the rest shares the remainder equally.
  QVector<QVector<double>> fractions;
  // width x height, in units of the components' mu. Empty: a smooth dome
  // from 0.6 at the borders to 1.2 in the middle.
  QVector<double> thickness;
  // width x height energy shift in eV: pixel (x, y) sees mu(E - shift).
  // Empty: a linear ramp from -shiftSpan/2 at the top to +shiftSpan/2 at
  // the bottom.
  QVector<double> shift;
  double shiftSpan = 2.0;
  double i0 = 40000.0;     // incident counts in the middle of the beam
  double i0Gradient = 0.2; // relative change of I0 from left to right edge
  double i0Drift = 0.05;   // relative change of I0 from first to last energy
  double dark = 100.0;     // dark counts added to every I0 and I1 pixel
  bool noise = true;       // Poisson-like (Gaussian of variance = counts)
  quint32 seed = 12345;
  bool writeI0 = true;   // one I0 frame per energy
  bool writeDark = true; // one dark frame "dark.<ext>"
  QString i1Prefix = "I1";
  QString i0Prefix = "I0";
};

// What was generated: the files and the exact maps behind them.
struct StackTruth
{
  bool ok = false;
  int width = 0;
  int height = 0;
  QVector<double> energies;
  QVector<Component> components;
  QVector<QVector<double>> fractions; // per component, width x height
  QVector<double> thickness;
  QVector<double> shift;
  QStringList i1Files;        // in energy order
  QStringList i0Files;        // empty without I0
  QString darkFile;           // empty without a dark frame
  QStringList referenceFiles; // per component: columns energy, mu
  QStringList truthFiles;     // fraction maps, thickness, shift (text grids)
};

// Fills the defaults of a stack description (energies, components, maps).
StackSpec completed(const StackSpec& plan);

// Makes `plan` an energy-calibration foil: compound A of the default pair
// alone, everywhere, measured with the same beam (energies, shift, I0) as
// the sample it calibrates.
void makeFoil(StackSpec& plan);

// A width x height shift map (eV) for checking energy calibration: a ramp
// from -2 eV in the leftmost column to +2 eV in the rightmost, and a block
// at +3 eV over the columns [w/3, 2w/3) and the rows [h/4, h/2).
QVector<double> calibrationCheckShift(int width, int height);

// Noise-free counts of I1 and I0 at pixel (x, y) and energy index k of a
// completed plan, before rounding (dark included).
double idealI1(const StackSpec& plan, int x, int y, int k);
double idealI0(const StackSpec& plan, int x, int y, int k);

// Writes the stack into `outDir` (created if needed) and returns its truth.
// Beside the frames: "ref_<name>.dat" per component (header lines starting
// with "#", then "energy mu" columns) and the truth grids
// "truth_fraction_<name>.txt", "truth_thickness.txt", "truth_shift.txt"
// ("#" header, then one text line per image row).
StackTruth generateStack(const StackSpec& plan, const QString& outDir, Format format);

} // namespace stackgen
