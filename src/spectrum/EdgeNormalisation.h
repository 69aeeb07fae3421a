#pragma once

#include "spectrum/EdgeLine.h"

#include <cmath>

// The normalisation of one spectrum on plain arrays: the five-point
// smoothing, the first edge guess, the pre- and post-edge line fits, the
// edge between them and its jump. XafsSpectrum and the point runs both
// normalise through it, so a map value equals the single spectrum's answer
// bit for bit.
struct EdgeWindows
{
  int mode = 1; // 0 Victoreen lines, otherwise straight lines
  bool expectedEdgeSet = false;
  double expectedEdge = 0.0;
  double preEnd = -10.0; // fit windows relative to the edge
  double postStart = 10.0;
};

// One spectrum's samples: energies (as the fits see them), wavelengths hc/E
// (read only by Victoreen lines; may be null otherwise) and values.
struct EdgeSamples
{
  const double* E = nullptr;
  const double* lambda = nullptr;
  const double* y = nullptr;
  int n = 0;
};

// The running mean over the points i-2 .. i+2 that exist.
void smoothFive(const double* y, int n, double* smoothed);

// Index of the largest smoothed rise in the window the expected edge allows
// (everywhere without one); 0 when there is none.
int firstEdgeGuess(const EdgeWindows& win, const double* E, const double* smoothed, int n);

// Fits `pre` and `post` about the edge e0 (a failed fit leaves its line as
// it was) and parts an inverted pair so the post-edge line lies above;
// returns the measured jump post(e0) - pre(e0).
double fitEdgeLines(const EdgeWindows& win,
                    const EdgeSamples& s,
                    double e0,
                    EdgeLine& pre,
                    EdgeLine& post,
                    bool* ok = nullptr);

// Index of the steepest smoothed rise that crosses the half-way line between
// pre and post; 0 without one.
int edgeIndexBetween(const double* E,
                     const double* smoothed,
                     const double* preAt,
                     const double* postAt,
                     int n);

// What a normalisation leaves besides its lines.
struct EdgeResult
{
  double midx = 0.0;
  double dMut = 0.0;
};

// The whole normalisation: smoothed, preAt and postAt (n each, the caller's
// storage) receive the smoothed values and both lines at every point. n >= 1.
EdgeResult normaliseSamples(const EdgeWindows& win,
                            const EdgeSamples& s,
                            EdgeLine& pre,
                            EdgeLine& post,
                            double* smoothed,
                            double* preAt,
                            double* postAt);

// The same for four spectra at once on the same energies, one a lane:
// s.y holds n rows of four values (row i: the four spectra's values at
// E[i]), and smoothed, preAt and postAt (4n each) receive rows of four
// likewise; pre, post and res have four entries. The first `lanes` (1..4)
// spectra are real, the others are computed and ignored. Each lane's
// numbers are bit for bit those normaliseSamples gives for its spectrum
// alone: both run the same operations in the same order on every lane.
constexpr int kEdgeLanes = 4;
void normaliseFour(const EdgeWindows& win,
                   const EdgeSamples& s,
                   EdgeLine* pre,
                   EdgeLine* post,
                   double* smoothed,
                   double* preAt,
                   double* postAt,
                   EdgeResult* res,
                   int lanes);

// 0 instead of an infinity or NaN, so a zero or broken jump (a flat spectrum
// at the dark level) gives flat curves instead of poisoning every map and fit
// that reads them.
inline double finiteOrZero(double v)
{
  return std::isfinite(v) ? v : 0.0;
}

// The double-normalised value (y - pre) / (post - pre); 0 where the lines
// meet.
inline double doubleNormalised(double y, double preAt, double postAt)
{
  const double local = postAt - preAt;
  return local != 0.0 ? finiteOrZero((y - preAt) / local) : 0.0;
}

// doubleNormalised and the local jump postAt - preAt of `count` values, bit
// for bit, four at a time.
void doubleNormalisedRows(const double* y,
                          const double* preAt,
                          const double* postAt,
                          int count,
                          double* dn,
                          double* jump);
