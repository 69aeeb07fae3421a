#pragma once

#include "spectrum/EdgeLine.h"
#include "spectrum/EdgeNormalisation.h"
#include "spectrum/SpectrumPoints.h"

#include <QMetaType>
#include <QString>
#include <QVector>

#include <array>

// One absorption spectrum mu(E) with its energy correction, pre-edge and
// post-edge lines, edge position `midx` and edge jump `dMut`. A value type:
// copied freely and passed by value through queued signals.
class XafsSpectrum
{
public:
  // The six derived curves, in their fixed order. The first two are the
  // intensity curves of a "9809" file (empty otherwise) and are left alone
  // by `normalize`; it rebuilds the other four over the corrected energies.
  enum Curve
  {
    CurveI0 = 0,
    CurveI1 = 1,
    CurvePostBase = 2,        // (mu - post(E)) / dMut
    CurveRawScale = 3,        // dMut · (mu - pre(E)) / (post(E) - pre(E))
    CurvePostBasePlusOne = 4, // (mu - post(E)) / dMut + 1
    CurveDoubleNormalized = 5 // (mu - pre(E)) / (post(E) - pre(E))
  };
  enum class FileKind
  {
    None,
    Format9809,
    Columns
  };

  XafsSpectrum() = default;
  // Takes `points` (ascending energies), names the spectrum, sets the
  // expected edge (used when suggestedEdge > 0, with the fit windows
  // preEnd/postStart relative to it; otherwise -10/+10 eV), stores `shift`
  // as extraShift and normalises with `mode` (0 Victoreen lines, otherwise
  // straight lines) when there is at least one point.
  XafsSpectrum(const SpectrumPoints& points,
               const QString& name,
               int mode,
               double shift,
               double suggestedEdge,
               double preEnd,
               double postStart);

  // What the constructor does, into this spectrum, reusing its storage: a
  // spectrum rebuilt point after point allocates nothing once its buffers
  // are large enough.
  void assign(const SpectrumPoints& points,
              const QString& name,
              int mode,
              double shift,
              double suggestedEdge,
              double preEnd,
              double postStart);

  // Reads a "9809" file or a column file (energy in eV, value); false
  // leaves the spectrum as it was and writes its one line, into `why` when
  // given (for a caller that says it itself), else on the debug output.
  // Does not normalise.
  bool load(const QString& fileName, QString* why = nullptr);
  // Writes the spectrum text file; false when it cannot be written.
  bool writeText(const QString& fileName, bool applyShift) const;

  int size() const { return points.size(); }
  double energy(int i) const { return energyCorrected ? points.x(i) - energyOffset : points.x(i); }
  double value(int i) const { return points.y(i); }
  double smoothedAt(double E) const;
  double preValue(double E) const { return pre.valueAt(E); }
  double postValue(double E) const { return post.valueAt(E); }

  double findEdge() const;
  void normalize(int mode);
  bool fitLines(double e0, int mode);

  // Value of derived curve `curve` at E + shift, interpolated linearly with
  // the end segments extended; 0 for an empty curve.
  double curveValueAt(Curve curve, double E, double shift = 0.0) const;
  // The double-normalised curve (CurveDoubleNormalized) at E. A NaN energy
  // is logged and gives 0.
  double doubleNormalizedPreBase(double E) const;
  // The curve the MLCF fit combines: CurveRawScale at E + shift.
  double rawScaleAt(double E, double shift = 0.0) const
  {
    return curveValueAt(CurveRawScale, E, shift);
  }
  const SpectrumPoints& curve(Curve c) const { return curves[c]; }

  QString name = QStringLiteral("No Name");
  SpectrumPoints points;
  bool energyCorrected = false;
  double energyOffset = 0.0;
  EdgeLine pre;
  EdgeLine post;
  QVector<double> smoothed;
  bool expectedEdgeSet = false;
  double expectedEdge = 0.0;
  double preEnd = -10.0;
  double postStart = 10.0;
  // Outer limits of the two fit windows relative to the edge, kept for the
  // callers; the fits themselves run from the first point and to the last.
  double preStart = -1000.0;
  double postEnd = 1000.0;
  double extraShift = 0.0;
  int mode = 0;
  double midx = 0.0;
  double dMut = 0.0;
  QVector<double> normalized;
  std::array<SpectrumPoints, 6> curves;
  FileKind fileKind = FileKind::None;

private:
  struct Work;
  void setUp(int mode, double shift, double suggestedEdge, double preEnd, double postStart);
  void fillWork(Work& w) const;
  bool fitLinesOn(const Work& w, double e0, int mode);
  int findEdgeIndex(const Work& w, const double* preAt, const double* postAt) const;
  EdgeWindows windows(int fitMode) const;
  void clearNormalisation();
  void rebuildCurves(const Work& w, const double* preAt, const double* postAt);
};

Q_DECLARE_METATYPE(XafsSpectrum)
