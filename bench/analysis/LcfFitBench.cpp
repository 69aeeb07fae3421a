// Speed of the reference fit per map point: two references, spectra of 100
// energies. Reports points per second (items_per_second).

#include "analysis/AnalyzeProc.h"
#include "analysis/LcfFit.h"

#include "StackGen.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

XafsSpectrum spectrumOf(const std::function<double(double)>& mu, const QString& name)
{
  SpectrumPoints p;
  for (int i = 0; i < 100; ++i) {
    const double e = 8930 + 1.2 * i;
    p.append(e, mu(e));
  }
  return XafsSpectrum(p, name, 1, 0.0, -1.0, -10.0, 10.0);
}

struct Setup
{
  XafsSpectrum sample;
  QVector<RefSnapshot> refs;
  FitConditions cond;

  Setup()
  {
    stackgen::Component a, b;
    b.edge = a.edge + 5.0;
    b.whiteLine = 0.2;
    for (const stackgen::Component& c : { a, b })
      refs.append(
        RefSnapshot::take(spectrumOf([c](double e) { return stackgen::componentMu(c, e); }, "ref"),
                          0.0,
                          false,
                          true,
                          false));
    sample = spectrumOf(
      [a, b](double e) {
        return 0.3 * stackgen::componentMu(a, e) + 0.7 * stackgen::componentMu(b, e) + 0.05;
      },
      "Body-AaP");
    cond.buildSpectrum = false;
  }
};

// The fit as a 2-D run calls it: tables taken from the spectra, no curve
// spectrum built (mlcf:0 LCF, mlcf:1 MLCF). With curve:1 the fitted curve is
// also normalised as a spectrum, as for the spectrum under the pointer.
void BM_FitTwoRefs(benchmark::State& state)
{
  Setup s;
  const bool mlcf = state.range(0) != 0;
  s.cond.buildSpectrum = state.range(1) != 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(fitSpectrum(s.sample, s.refs, mlcf, s.cond));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FitTwoRefs)
  ->ArgNames({ "mlcf", "curve" })
  ->Args({ 0, 0 })
  ->Args({ 1, 0 })
  ->Args({ 0, 1 });

// For the budget of a whole run: building and normalising one point's
// spectrum of 100 energies, which every point needs before its fit.
void BM_NormaliseSpectrum(benchmark::State& state)
{
  const Setup s;
  for (auto _ : state)
    benchmark::DoNotOptimize(XafsSpectrum(s.sample.points, "Body-AaP", 1, 0.0, -1.0, -10.0, 10.0));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NormaliseSpectrum);

// One point handed to the worker thread and its answer received back on
// this thread through queued signals, as the 2-D run does point by point.
class Client : public QObject
{
public:
  explicit Client(AnalyzeProc* worker)
    : m_worker(worker)
  {
    connect(worker, &AnalyzeProc::finished, this, [this](const LcfResult&) { ++answers; });
  }
  void send(const Setup& s)
  {
    QMetaObject::invokeMethod(m_worker, [w = m_worker, s = s.sample, r = s.refs, c = s.cond] {
      w->analyzeSpectrum0(s, r, false, c);
    });
  }
  int answers = 0;

private:
  AnalyzeProc* m_worker;
};

void BM_WorkerRoundTrip(benchmark::State& state)
{
  const Setup s;
  AnalyzeThread thread;
  thread.worker()->setContAccess(true);
  Client client(thread.worker());
  int expected = 0;
  for (auto _ : state) {
    client.send(s);
    ++expected;
    while (client.answers < expected)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WorkerRoundTrip)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
