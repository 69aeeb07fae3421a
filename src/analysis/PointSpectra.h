#pragma once

#include "stack/StackSpectra.h"
#include "spectrum/XafsSpectrum.h"

#include <QRect>
#include <QString>
#include <QVector>

// The energy-shift map as a run reads it: a value per pixel of the stack over
// the area the map covers. A point inside that area is corrected by its
// value, a point outside is not.
struct EnergyShiftView
{
  int width = 0;
  int height = 0;
  QRect area;             // pixels the map covers
  QVector<double> values; // width x height, row by row

  bool isEmpty() const { return values.isEmpty(); }
  double at(int x, int y) const;
};

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
  XafsSpectrum at(int cx, int cy, int bx, int by) const;
};
