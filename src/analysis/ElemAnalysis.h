#pragma once

#include "spectrum/EdgePosition.h"

#include <QString>
#include <QVector>

class XafsSpectrum;

// One edge of the element analysis as a run sees it: the values of its row,
// taken on the GUI thread when the run starts.
struct ElemCond
{
  QString name;     // "Fe-K"
  double e0 = 0.0;  // nominal edge energy, eV
  double dE = 20.0; // half distance of the jump, eV
  double roiStart = 7000.0;
  double roiEnd = 7005.0;
  double thDMut = 0.0;   // a jump not above this is not measured
  bool noNeg = false;    // a negative ROI takes the background values
  bool use = true;       // the edge takes part in correlations
  double stdRatio = 0.0; // standard relative strength
};

// The values written where a quantity cannot be measured.
struct ElemBackground
{
  double dmut = -1.0;
  double dmutRatio = 0.0; // kept for the conditions window; no rule uses it
  double dE = 0.0;
  double roi = 0.0;
  double nroi = 0.0;
};

// What one spectrum gives for one edge.
struct ElemResult
{
  double dmutRaw = 0.0; // mu(E0 + dE) - mu(E0 - dE)
  double dmut = 0.0;    // the jump used: raw above the threshold, else background
  double ratio = 0.0;   // dmut against the target edge's dmut
  double muPlus = 0.0;
  double muMinus = 0.0;
  double shift = 0.0; // edge position less E0
  double roi = 0.0;
  double nroi = 0.0;
};

// Order of the seven maps of an edge, and the names' suffixes.
enum ElemMapKind
{
  ElemMapDMut = 0,
  ElemMapRatio,
  ElemMapMuPlus,
  ElemMapMuMinus,
  ElemMapDE,
  ElemMapROI,
  ElemMapNROI,
  ElemMapCount
};
// "%1 Elem Ctrl 0", "%1 Elem Ctrl N", ... with the edge's name.
QString elemMapName(const QString& edgeName, int kind);
// The value of `kind` in a result.
double elemMapValue(const ElemResult& r, int kind);

// The raw absorption of `s` at E on the spectrum's corrected scale (its
// energy shift taken off the point energies), interpolated linearly with the
// end segments extended.
double rawMuAt(const XafsSpectrum& s, double E);

// The target edge of a run: `mainT` when it names an edge, else the first
// edge, with a debug line; -1 (and a debug line) with no edges.
int validTargetIndex(int mainT, int edges);

// The element analysis of one spectrum: for every edge of `elems` the jump
// on the raw absorption around E0, the edge position from the half-jump
// crossings, the ROI mean and the ratios against edge `mainT` (a valid
// index). `out` holds elems.size() results. Pure and re-entrant.
// `locate` chooses how the edge position is read between E0 - dE and
// E0 + dE: Grid takes the mid-energy of each pair of points that brackets
// the half level; Interpolated places each crossing on the line between the
// pair; DerivativePeak takes the largest slope of the raw curve, refined by
// a parabola.
void analyzeSpectrumElems0(const XafsSpectrum& s,
                           const QVector<ElemCond>& elems,
                           int mainT,
                           const ElemBackground& bg,
                           ElemResult* out,
                           EdgeLocate locate = EdgeLocate::Grid);

// Correlation of the ratios with the standard pattern over the edges in
// use: Srs / sqrt(Srr * Sss); false when either sum of squares is not
// positive (no pattern to compare).
bool elemCorrelation(const QVector<ElemCond>& elems, const double* ratios, double& cor);

// One entry of "Target Element Names".
struct ElemEntry
{
  QString symbol;
  QString edge;
  int z = 0;
  double e0 = 0.0;
  QString name() const { return symbol + QLatin1Char('-') + edge; }
};

// Entries separated by ","; blanks around names ignored, empty entries
// skipped; "Fe-K" is element and edge, "Cu" means "Cu-K". Unknown elements
// are skipped with a debug line. With byAtomicNumber the list is ordered by
// atomic number (entries of one element keep their order).
QVector<ElemEntry> parseElemNames(const QString& text, bool byAtomicNumber);
