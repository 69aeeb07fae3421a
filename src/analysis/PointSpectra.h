#pragma once

#include "analysis/PointKernel.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/StackSpectra.h"

#include <QRect>
#include <QString>
#include <QVector>

#include <algorithm>
#include <vector>

struct AnalyzeCond;

// The energy-shift map as a run reads it: a value per pixel of the stack over
// the area the map covers. A point inside that area is corrected by its
// value, a point outside is not.
struct EnergyShiftView
{
  int width = 0;
  int height = 0;
  QRect area;             // pixels the map covers
  QVector<double> values; // width x height, row by row

  // The pixels the map's calibration (or its file) measured; a null rect
  // takes `area`.
  QRect measured;

  bool isEmpty() const { return values.isEmpty(); }
  double at(int x, int y) const;
};

// Why `shifts` cannot be applied to the points of `area`: a map of another
// image size, or one whose measured pixels leave part of the area out (a
// foil calibrated on a corner would correct that corner and leave the rest
// at 0). Empty when the map is empty or covers the area. In English for the
// log, or in the window's language when `translated`.
QString shiftMapGap(const EnergyShiftView& shifts,
                    const AnalyzeCond& area,
                    bool translated = false);

// Everything a run needs to build the normalised spectrum of any point: the
// stacks (read-only views of the frames), how to combine them, how to
// normalise, and the shift map. Taken on the GUI thread when a run starts;
// the frames must stay alive and unchanged until the run has ended.
struct PointSpectra
{
  PointSpectra() = default;
  PointSpectra(const StackView& stack,
               int mode,
               double suggestedEeV,
               const EnergyShiftView& shifts = EnergyShiftView(),
               const QString& name = QStringLiteral("Body-AaP"));

  StackSampler sampler;
  int mode = 1;               // 0 Victoreen lines, otherwise straight lines
  double suggestedEeV = -1.0; // <= 0: no expected edge
  EnergyShiftView shifts;
  QString name;

  // Working memory of one thread.
  struct Scratch
  {
    SpectrumPoints points;
    QVector<double> i0Sums;
    QVector<SpectrumPoints> batch;
    QVector<QPoint> centres;
    // The raw rows of a batch and one group's normalisation (see
    // sampleLanes).
    std::vector<double> mu;
    std::vector<double> E;
    std::vector<double> lambda;
    std::vector<double> smoothed;
    std::vector<double> preAt;
    std::vector<double> postAt;
  };
  // The raw spectra (mu(E) points, not normalised) of `count` blocks with
  // half widths (bx, by) into scratch.batch[0 .. count-1], each frame read
  // once for all of them; normalise one with `normalise`.
  void sampleBatch(const QPoint* centres, int count, int bx, int by, Scratch& scratch) const;
  // The spectrum of the block at (cx, cy) from its raw points, as `build`
  // makes it.
  void normalise(const SpectrumPoints& points, int cx, int cy, XafsSpectrum& out) const;
  // The normalised spectrum of the block centred on (cx, cy) with half
  // widths (bx, by); empty outside the stack. `build` writes it into `out`,
  // reusing out's storage (a run's inner loop allocates nothing).
  void build(int cx, int cy, int bx, int by, Scratch& scratch, XafsSpectrum& out) const;

  // The raw absorption of `count` blocks into scratch.mu in groups of
  // kEdgeLanes blocks, each group energies() rows of kEdgeLanes values (see
  // normaliseFour; the lanes past `count` hold 1.0), and the energies in
  // scratch.E: what `sampleBatch` gives, without the point lists.
  void sampleLanes(const QPoint* centres, int count, int bx, int by, Scratch& scratch) const;
  int energies() const { return sampler.energies(); }
  bool inside(int cx, int cy) const;
  // Normalises the group of blocks whose rows start at `y` as `normalise`
  // does, bit for bit, with fresh lines: scratch.smoothed, preAt and postAt
  // receive the smoothed values and both lines at every energy, in rows of
  // kEdgeLanes; pre, post and res have kEdgeLanes entries, the first
  // `lanes` of them real. At least one energy.
  void normaliseLanes(const double* y,
                      int lanes,
                      Scratch& scratch,
                      EdgeLine* pre,
                      EdgeLine* post,
                      EdgeResult* res) const;
  XafsSpectrum at(int cx, int cy, int bx, int by) const;

  // The raw absorption of `count` neighbouring points (one binning),
  // frames read once for all of them, normalised kEdgeLanes points at a
  // time: use(first, lanes, y, pre, post, res) for points first ..
  // first + lanes - 1, y their rows in scratch.mu, the rest as
  // normaliseLanes gives them (left as they are without energies).
  template<typename Use>
  void forEachGroup(const RasterPoint* points, int count, Scratch& scratch, const Use& use) const
  {
    scratch.centres.resize(count);
    for (int k = 0; k < count; ++k)
      scratch.centres[k] = QPoint(points[k].cx, points[k].cy);
    sampleLanes(scratch.centres.constData(), count, points[0].bx, points[0].by, scratch);
    const int n = energies();
    EdgeLine pre[kEdgeLanes];
    EdgeLine post[kEdgeLanes];
    EdgeResult res[kEdgeLanes];
    for (int first = 0; first < count; first += kEdgeLanes) {
      const int lanes = std::min(kEdgeLanes, count - first);
      const double* y = scratch.mu.data() + size_t(first) * size_t(n);
      if (n > 0)
        normaliseLanes(y, lanes, scratch, pre, post, res);
      use(first, lanes, y, pre, post, res);
    }
  }

  // The normalised spectrum of each of `count` neighbouring points (one
  // binning), frames read once for all of them: use(k, spectrum) for point
  // k, the spectrum being `build`'s for that point.
  template<typename Use>
  void forEachSpectrum(const RasterPoint* points,
                       int count,
                       Scratch& scratch,
                       XafsSpectrum& spectrum,
                       const Use& use) const
  {
    scratch.centres.resize(count);
    for (int k = 0; k < count; ++k)
      scratch.centres[k] = QPoint(points[k].cx, points[k].cy);
    sampleBatch(scratch.centres.constData(), count, points[0].bx, points[0].by, scratch);
    for (int k = 0; k < count; ++k) {
      normalise(scratch.batch[k], points[k].cx, points[k].cy, spectrum);
      use(k, spectrum);
    }
  }
};
