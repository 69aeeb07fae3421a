#pragma once

#include "analysis/FourierTransformer.h"
#include "analysis/PointKernel.h"
#include "stack/StackSpectra.h"

// The Fourier analysis of one point as a point kernel: w (the first I1
// frame's box sum), then |F_k| for every k of the transform of the point's
// I1 box sums over the stack. One transform a point gives all N
// frequencies.
class FourierKernel : public PointKernel
{
public:
  // `fourier` is set up for the stack's length and outlives the run.
  FourierKernel(const StackView& stack, const FourierTransformer& fourier);

  int valuesPerPoint() const override { return 1 + m_fourier.size(); }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;

private:
  StackView m_stack;
  const FourierTransformer& m_fourier;
};
