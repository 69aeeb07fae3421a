#pragma once

#include "StackGen.h"
#include "spectrum/XafsSpectrum.h"

#include <QTemporaryDir>

#include <algorithm>

// A generated two-component stack without energy shift (its reference files
// and truth on disk) and the noise-free mu(E) of its blocks, averaged over
// the block's pixels on the image and normalised with straight lines.
class GeneratedStack
{
public:
  GeneratedStack(int width, int height)
  {
    stackgen::StackSpec plan;
    plan.width = width;
    plan.height = height;
    plan.shift = QVector<double>(width * height, 0.0);
    m_truth = stackgen::generateStack(plan, m_dir.path(), stackgen::Format::Tiff);
  }

  bool ok() const { return m_truth.ok; }
  const stackgen::StackTruth& truth() const { return m_truth; }
  // Fraction of component c at pixel (x, y).
  double fraction(int c, int x, int y) const { return m_truth.fractions[c][y * m_truth.width + x]; }

  XafsSpectrum spectrumAt(int cx, int cy, int bx, int by) const
  {
    const stackgen::StackTruth& t = m_truth;
    SpectrumPoints p;
    for (double e : t.energies) {
      double mu = 0.0;
      int n = 0;
      for (int y = std::max(0, cy - by); y <= std::min(t.height - 1, cy + by); ++y)
        for (int x = std::max(0, cx - bx); x <= std::min(t.width - 1, cx + bx); ++x, ++n)
          for (int c = 0; c < t.components.size(); ++c)
            mu += t.thickness[y * t.width + x] * fraction(c, x, y) *
                  stackgen::componentMu(t.components[c], e);
      if (n == 0)
        return XafsSpectrum();
      p.append(e, mu / n);
    }
    return XafsSpectrum(p, QStringLiteral("Body-AaP"), 1, 0.0, -1.0, -10.0, 10.0);
  }

private:
  QTemporaryDir m_dir;
  stackgen::StackTruth m_truth;
};
