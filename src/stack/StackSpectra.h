#pragma once

#include "spectrum/SpectrumPoints.h"

#include <QPoint>
#include <QVector>

class TiffData;

// Boxes per group of `StackSampler::muLanes`.
constexpr int kMuLanes = 4;

// What the spectrum of a box is built from: the main window's stacks and the
// switches that say how to combine them. A value the caller fills once (on
// the GUI thread, from its fields) and passes by const reference; the frame
// lists are implicitly shared copies of the caller's pointer lists, so taking
// a view costs no pixel copy. The frames must outlive every call made with it.
struct StackView
{
  QVector<TiffData*> i1; // sample frames, in arrival order
  QVector<TiffData*> i0; // incident-beam frames, ascending energy
  const TiffData* dark = nullptr;
  int width = 0; // of the first I1 frame
  int height = 0;
  bool useI0 = false;    // divide by the I0 frames interpolated in energy
  bool fluoType = false; // fluorescence (I1 / I0) instead of transmission
  // Intensities of the total-I0 spectrum of the I1 files, matched to the I1
  // frames by index; empty when no such spectrum is loaded.
  QVector<double> totalI0;
};

// Sum of the frame's pixels in the (2|hw|+1) x (2|hh|+1) box centred on
// (x, y), read through the frame's alignment shift; outside pixels add 0 and
// no frame sums to 0.
double boxSum(const TiffData* frame, int x, int y, int hw, int hh);

// The I0 box sum interpolated to energy e (1.0 with no I0 frame); only the two
// bracketing frames are summed.
double i0At(const StackView& stack, double e, int x, int y, int hw, int hh);

// Builds the spectra of many boxes of one stack: which I0 frames bracket each
// I1 energy, and the straight line between them, are found once, and each
// I0 frame is summed once per box however many I1 energies it serves. The
// numbers are those of `spectrumAt`, which uses it. Re-entrant: a run's
// threads share one sampler, each with its own scratch.
class StackSampler
{
public:
  StackSampler() = default;
  explicit StackSampler(const StackView& stack);

  const StackView& stack() const { return m_stack; }
  int energies() const { return m_stack.i1.size(); }
  // Fills `out` with the spectrum of the box (cleared first; its storage
  // is reused); `work` is scratch of the caller.
  void spectrumAt(int x, int y, int hw, int hh, SpectrumPoints& out, QVector<double>& work) const;
  // The spectra of `count` boxes at once, frame by frame: each frame's
  // pixels of neighbouring boxes are read together while they are in the
  // cache. Every spectrum is the one `spectrumAt` gives for its box.
  void spectraAt(const QPoint* centres,
                 int count,
                 int hw,
                 int hh,
                 SpectrumPoints* outs,
                 QVector<double>& work) const;

  // The absorption of `count` boxes at once, as `spectraAt` computes it:
  // row j of `mu` (energies() values, the I1 frames' order) for box j.
  // Rows of boxes off the stack hold meaningless numbers.
  void muRows(const QPoint* centres, int count, int hw, int hh, double* mu, QVector<double>& work)
    const;

  // The same values in groups of four boxes: group g holds energies() rows
  // of kMuLanes values (boxes 4g .. 4g+3 at one energy), lanes past `count`
  // hold 1.0. The layout the batch normalisation reads.
  void muLanes(const QPoint* centres, int count, int hw, int hh, double* mu, QVector<double>& work)
    const;

private:
  int scratchSize(int count) const;
  void muRowsInto(const QPoint* centres,
                  int count,
                  int hw,
                  int hh,
                  double* mu,
                  double* buffer,
                  bool lanes = false) const;
  struct Bracket
  {
    int lo = -1; // I0 frame indices; -1 without I0 frames
    int hi = -1;
  };
  StackView m_stack;
  QVector<Bracket> m_brackets; // per I1 frame
  QVector<int> m_i0Used;       // I0 frames some bracket reads, ascending
};

// mu(E) of the box centred on (x, y), one point per I1 frame in list order;
// empty outside the stack. Every value is finite: where the ratio has no
// meaning (a non-positive product in transmission, a zero I0 in fluorescence)
// the point holds 1.0.
SpectrumPoints spectrumAt(const StackView& stack, int x, int y, int hw, int hh);

// (E, box sum of the I1 frame) per I1 frame: no dark, no I0, no logarithm.
SpectrumPoints rawSpectrumAt(const StackView& stack, int x, int y, int hw, int hh);

// One value per pixel along row y (points (x, v), x = 0..W-1) or column x
// (points (y, v), y = 0..H-1) of `frame`: its box sum, or with asMu the
// absorption ln(i0At(frame energy) / sum) (1.0 where that has no meaning).
// Empty for no frame or a line outside the stack. No dark is subtracted.
SpectrumPoints rowProfile(const StackView& stack,
                          const TiffData* frame,
                          int y,
                          int hw,
                          int hh,
                          bool asMu);
SpectrumPoints columnProfile(const StackView& stack,
                             const TiffData* frame,
                             int x,
                             int hw,
                             int hh,
                             bool asMu);
