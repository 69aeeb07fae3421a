#include "calibration/CalibKernel.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/LcfFit.h"
#include "spectrum/XafsSpectrum.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>

double calibStandardEdge(const XafsSpectrum* standard, double edgeEV, EdgeLocate locate)
{
  if (standard)
    return edgeEnergy(*standard, locate);
  if (edgeEV > 0.0)
    return edgeEV;
  return std::numeric_limits<double>::quiet_NaN();
}

QString loadCalibStandard(const QString& file, int mode, XafsSpectrum& out)
{
  // A file the reader refuses gives the reader's own line, said once.
  QString unread;
  if (!out.load(file, &unread))
    return unread;
  if (out.size() == 0)
    return QStringLiteral("Standard not loaded: no spectrum in the file : %1").arg(file);
  out.normalize(mode);
  const int n = out.size();
  const bool atAnEnd = out.midx == out.energy(0) || out.midx == out.energy(n - 1);
  if (atAnEnd || !fit::jumpClear(out.dMut, edgeJumpNoise(out)))
    return QStringLiteral("Standard not loaded: no rising edge found (edge %1 eV, jump %2; "
                          "an inverted scan, e.g. fluorescence read as ln(I0/I1)?) : %3")
      .arg(out.midx, 0, 'f', 1)
      .arg(out.dMut, 0, 'g', 3)
      .arg(file);
  return QString();
}

double calibShiftOf(const XafsSpectrum& pointSpectrum, double stdEdge, EdgeLocate locate)
{
  if (pointSpectrum.size() == 0)
    return 0.0;
  return edgeEnergy(pointSpectrum, locate) - stdEdge;
}

ShiftStats shiftMapStats(const QVector<double>& values, const AnalyzeCond& scan)
{
  ShiftStats s;
  if (scan.width <= 0 || scan.height <= 0 || values.size() < scan.width * scan.height)
    return s;
  // Two passes over the same points: sigma from the map's final values.
  QVector<double> at;
  at.reserve(scan.columns() * scan.rows());
  AnalyzeCond c = scan;
  c.reset();
  do {
    if (c.pointInside())
      at.append(values[c.cy * scan.width + c.cx]);
  } while (c.next());
  if (at.isEmpty())
    return s;
  double sum = 0.0;
  s.min = at.first();
  s.max = at.first();
  for (double v : at) {
    sum += v;
    s.min = std::min(s.min, v);
    s.max = std::max(s.max, v);
  }
  s.n = at.size();
  s.average = sum / s.n;
  double squares = 0.0;
  for (double v : at)
    squares += (v - s.average) * (v - s.average);
  s.sigma = std::sqrt(squares / s.n);
  return s;
}

namespace {

struct CalibScratch : KernelScratch
{
  PointSpectra::Scratch build;
  XafsSpectrum spectrum;
};

} // namespace

bool removeShiftOutliers(Analyzed2DRes& map)
{
  if (!map.hasData())
    return false;
  map.deglitch2(kShiftOutlierLimit);
  map.copyProc2Data();
  return true;
}

std::unique_ptr<KernelScratch> CalibPointKernel::makeScratch() const
{
  return std::make_unique<CalibScratch>();
}

void CalibPointKernel::compute(const RasterPoint& p, KernelScratch* scratch, double* out) const
{
  computeBatch(&p, 1, scratch, out);
}

void CalibPointKernel::computeBatch(const RasterPoint* points,
                                    int count,
                                    KernelScratch* scratch,
                                    double* out) const
{
  auto* s = static_cast<CalibScratch*>(scratch);
  PointSpectra::Scratch& b = s->build;
  if (m_locate != EdgeLocate::Grid) {
    m_spectra.forEachSpectrum(points, count, b, s->spectrum, [&](int k, const XafsSpectrum& sp) {
      out[k] = calibShiftOf(sp, m_stdEdge, m_locate);
    });
    return;
  }
  // The grid point is the normalisation's own edge: no spectrum is built.
  const int n = m_spectra.energies();
  m_spectra.forEachGroup(points,
                         count,
                         b,
                         [&](int first,
                             int lanes,
                             const double*,
                             const EdgeLine*,
                             const EdgeLine*,
                             const EdgeResult* res) {
                           for (int l = 0; l < lanes; ++l) {
                             const RasterPoint& p = points[first + l];
                             out[first + l] = n > 0 && m_spectra.inside(p.cx, p.cy)
                                                ? res[l].midx - m_stdEdge
                                                : 0.0;
                           }
                         });
}
