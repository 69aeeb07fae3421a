#pragma once

#include "analysis/ElemAnalysis.h"
#include "analysis/PointKernel.h"
#include "analysis/PointSpectra.h"

// The element analysis as a point kernel: the point's spectrum, then for
// every edge its seven map values (ElemMapKind order), edge after edge.
class ElemKernel : public PointKernel
{
public:
  // `mainT` must be a valid edge index (see validTargetIndex).
  ElemKernel(const PointSpectra& spectra,
             const QVector<ElemCond>& elems,
             int mainT,
             const ElemBackground& bg,
             EdgeLocate locate = EdgeLocate::Grid);

  int valuesPerPoint() const override { return int(m_elems.size()) * ElemMapCount; }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;
  void computeBatch(const RasterPoint* points,
                    int count,
                    KernelScratch* scratch,
                    double* out) const override;

private:
  PointSpectra m_spectra;
  QVector<ElemCond> m_elems;
  int m_mainT = 0;
  ElemBackground m_bg;
  EdgeLocate m_locate = EdgeLocate::Grid;
};

// The correlation maps from the ratio maps of the last element run: per
// point the correlation of the edges' ratios with their standard pattern
// (0 where it is not defined), and the same kept only where it reaches the
// threshold. Writes cor, corTh.
class ElemCorKernel : public PointKernel
{
public:
  // ratioMaps[k]: width x height values of edge k's ratio map (empty: 0).
  ElemCorKernel(const QVector<QVector<double>>& ratioMaps,
                int width,
                int height,
                const QVector<ElemCond>& elems,
                double corTh);

  int valuesPerPoint() const override { return 2; }
  std::unique_ptr<KernelScratch> makeScratch() const override;
  void compute(const RasterPoint& p, KernelScratch* scratch, double* out) const override;

private:
  QVector<QVector<double>> m_ratioMaps;
  int m_width = 0;
  int m_height = 0;
  QVector<ElemCond> m_elems;
  double m_corTh = 0.9;
};
