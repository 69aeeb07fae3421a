#pragma once

#include <QVector>

#include <memory>

struct SpectrumPoints;

// A one-dimensional complex DFT of length n over FFTW: forward and backward
// buffers and plans that are made again only when n changes, and the
// magnitudes |F_k| of the last forward transform.
//
// Planning is not thread-safe in FFTW, executing is: a run's threads share
// one transformer (planned on the owner's thread) and each executes its
// plan on a Workspace of its own.
class FourierTransformer
{
public:
  FourierTransformer();
  ~FourierTransformer();
  FourierTransformer(const FourierTransformer&) = delete;
  FourierTransformer& operator=(const FourierTransformer&) = delete;

  // Frees and makes the buffers and plans again only when n changes; n <= 0
  // frees them.
  void setUp(int n);
  int size() const { return m_n; }

  // Forward transform of the curve's values; positions beyond the curve
  // enter as 0, values beyond n are not used.
  void transform(const SpectrumPoints& curve);
  // Forward transform of n plain values.
  void transform(const double* values);
  // |F_k| for k = 0..n-1 of the last transform.
  const QVector<double>& magnitudes();

  // Buffers for one thread, sized for the transformer's n when made.
  class Workspace
  {
  public:
    explicit Workspace(int n);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    int size() const { return m_n; }

  private:
    friend class FourierTransformer;
    int m_n = 0;
    void* m_in = nullptr;
    void* m_out = nullptr;
  };
  // |F_k| of `count` values (the rest of the n positions 0) into `mags`
  // (n doubles), on the workspace's buffers. Re-entrant.
  void magnitudesOf(const double* values, int count, Workspace& ws, double* mags) const;

private:
  struct Plans;
  void load(const double* values, int count, void* in) const;
  int m_n = 0;
  std::unique_ptr<Plans> m_plans;
  QVector<double> m_mags;
};
