#pragma once

#include "analysis/PointKernel.h"
#include "analysis/PointSpectra.h"
#include "spectrum/EdgePosition.h"

#include <QVector>

class Analyzed2DRes;
class XafsSpectrum;
struct AnalyzeCond;

// The numbers of an energy calibration, as plain re-entrant functions: the
// value one point stores in the energy-shift map, the statistics of a map
// and the progress of a run.

// The run's line, once per point, while the control asks for the
// inner-point type, which has no method of its own: the edge position is
// used instead.
inline constexpr char kInnerPointFallback[] =
  "CalibCtrl:: CTYPE_INNERP is not impremented.  Using CTYPE_DMIDX insted.";

// The standard edge Es the shifts are measured from: `standard`'s edge
// (its midx, or read as `locate` says) when a standard is loaded (non-null),
// else `edgeEV` (the control's edge field) when it is above 0, else NaN: no
// standard edge is known, and a run would store absolute edge energies
// (thousands of eV) as shifts, so it refuses. The standard and the points are read the same way, so
// a refinement's own bias cancels in the shifts.
double calibStandardEdge(const XafsSpectrum* standard,
                         double edgeEV,
                         EdgeLocate locate = EdgeLocate::Grid);

// Reads the calibration standard `file` into `out` and normalises it with
// `mode`. A standard whose edge cannot be found (no crossing of the half
// jump, which leaves the edge at an end of the scan, or a jump that is not
// above its noise: an inverted or flat scan) would put every shift
// thousands of eV off, so it is refused: the reason, naming the file, is
// returned (empty when loaded) and `out` is then unspecified.
QString loadCalibStandard(const QString& file, int mode, XafsSpectrum& out);

// The shift one point stores: the edge position (midx, or read as `locate`
// says) of its normalised spectrum less the standard edge, so that
// consumers subtract it from the point's energies. An empty spectrum (a
// point off the stack) has no edge and stores 0.
double calibShiftOf(const XafsSpectrum& pointSpectrum,
                    double stdEdge,
                    EdgeLocate locate = EdgeLocate::Grid);

// Statistics of a calibrated map over the scan points of `scan` whose
// centre lies on the map (`values` is scan.width x scan.height, row by row):
// n points, their average, minimum and maximum, and sigma = sqrt(sum (m -
// average)^2 / n) with n, not n - 1. With no point: n 0, every number 0.
struct ShiftStats
{
  int n = 0;
  double average = 0.0;
  double min = 0.0;
  double max = 0.0;
  double sigma = 0.0;
};
ShiftStats shiftMapStats(const QVector<double>& values, const AnalyzeCond& scan);

// Shifts this far (eV) or further from the map's mean are no edge but a
// failed point.
inline constexpr double kShiftOutlierLimit = 40.0;
// The line of a removal refused for want of a map.
inline constexpr char kNoShiftMapLine[] = "calib_remove_outliers : no energy-shift map";
// Replaces the outliers of a calibrated map in place (the map's second
// deglitch with kShiftOutlierLimit, copied back into its values). A map
// without data stays as it is and false comes back.
bool removeShiftOutliers(Analyzed2DRes& map);

// The calibration run's point kernel: the shift of the point's spectrum
// ("Body-Calib", built by `spectra`) against the standard edge, one value a
// point. The single-point path (calibShiftOf on spectra.at) gives the same
// number.
class CalibPointKernel : public PointKernel
{
public:
  CalibPointKernel(const PointSpectra& spectra,
                   double stdEdge,
                   EdgeLocate locate = EdgeLocate::Grid)
    : m_spectra(spectra)
    , m_stdEdge(stdEdge)
    , m_locate(locate)
  {
  }
  int valuesPerPoint() const override { return 1; }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;
  void computeBatch(const RasterPoint* points,
                    int count,
                    KernelScratch* scratch,
                    double* out) const override;

private:
  PointSpectra m_spectra;
  double m_stdEdge;
  EdgeLocate m_locate;
};
