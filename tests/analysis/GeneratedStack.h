#pragma once

#include "StackGen.h"
#include "analysis/LcfFit.h"
#include "stack/StackSpectra.h"
#include "spectrum/XafsSpectrum.h"

#include <QTemporaryDir>

#include <memory>
#include <vector>

class TiffData;

// A generated two-component stack read back as frames, with the spectrum of
// a block built as the main window builds it (dark subtracted from I1 and
// I0, mu = ln(I0 / I1), straight-line normalisation).
class GeneratedStack
{
public:
  // nEnergies 0: the generator's default energy grid.
  explicit GeneratedStack(int width, int height, int nEnergies = 0);
  // Any plan of the generator (its shift map as the plan gives it).
  explicit GeneratedStack(const stackgen::StackSpec& plan);
  ~GeneratedStack();

  bool ok() const { return m_truth.ok && !m_i1.empty(); }
  const stackgen::StackTruth& truth() const { return m_truth; }
  // Fraction of component c at pixel (x, y).
  double fraction(int c, int x, int y) const;
  SpectrumPoints pointsAt(int cx, int cy, int bx, int by) const;
  // The frames as the main window hands them to a run (I0 in use).
  StackView view() const;
  // Reference c of the generator as a ticked, Victoreen-normalised row.
  RefSnapshot reference(int c) const;
  static XafsSpectrum normalised(const SpectrumPoints& points);
  XafsSpectrum spectrumAt(int cx, int cy, int bx, int by) const
  {
    return normalised(pointsAt(cx, cy, bx, by));
  }

private:
  void generate(const stackgen::StackSpec& plan);

  QTemporaryDir m_dir;
  stackgen::StackTruth m_truth;
  std::vector<std::unique_ptr<TiffData>> m_i1;
  std::vector<std::unique_ptr<TiffData>> m_i0;
  std::unique_ptr<TiffData> m_dark;
};
