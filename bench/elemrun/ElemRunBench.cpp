// The element run (two edges) and the residual-absorption run over a
// generated 256 x 256 x 100 stack with a Fe K and a Ni K edge, every pixel
// a point, on 1 and 2 threads: points per second of the whole run.

#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemKernel.h"
#include "analysis/MapsRun.h"
#include "analysis/RaKernel.h"
#include "spectrum/EdgeTable.h"

#include "GeneratedStack.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kSize = 256;
constexpr int kEnergies = 100;

struct World
{
  std::unique_ptr<GeneratedStack> stack;
  QVector<ElemCond> elems;
  std::vector<std::unique_ptr<Analyzed2DRes>> owned;

  World()
  {
    loadEdgeTable();
    double fe = 7112.0, ni = 8333.0;
    lookupEdgeEnergy("Fe", "K", fe);
    lookupEdgeEnergy("Ni", "K", ni);
    stackgen::StackSpec plan;
    plan.width = kSize;
    plan.height = kSize;
    for (int k = 0; k < kEnergies; ++k)
      plan.energies.append(6950.0 + 1600.0 * k / (kEnergies - 1));
    stackgen::Component a;
    a.name = "fe";
    a.edge = fe;
    stackgen::Component b;
    b.name = "ni";
    b.edge = ni;
    b.step = 0.8;
    plan.components = { a, b };
    stack = std::make_unique<GeneratedStack>(plan);
    for (double e0 : { fe, ni }) {
      ElemCond c;
      c.e0 = e0;
      c.roiStart = e0;
      c.roiEnd = e0 + 50.0;
      elems.append(c);
    }
  }
  QVector<Analyzed2DRes*> maps(int n)
  {
    QVector<Analyzed2DRes*> m;
    while (int(owned.size()) < n)
      owned.push_back(std::make_unique<Analyzed2DRes>());
    for (int i = 0; i < n; ++i)
      m.append(owned[size_t(i)].get());
    return m;
  }
};

World* world = nullptr;

void runWhole(benchmark::State& state, std::shared_ptr<const PointKernel> kernel)
{
  MapsRun run(QStringLiteral("bench"));
  run.engine().setThreadCount(int(state.range(0)));
  AnalyzeCond cond;
  cond.setup(kSize, kSize, 0, 0, 0, 0, kSize, kSize);
  const QVector<Analyzed2DRes*> maps = world->maps(kernel->valuesPerPoint());
  for (auto _ : state)
    run.runNow(cond, kernel, maps);
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
}

void BM_ElemRun(benchmark::State& state)
{
  runWhole(state,
           std::make_shared<ElemKernel>(
             PointSpectra(world->stack->view(), 1, -1.0), world->elems, 0, ElemBackground()));
}
BENCHMARK(BM_ElemRun)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(3)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

void BM_ResidualRun(benchmark::State& state)
{
  runWhole(state,
           std::make_shared<RaKernel>(PointSpectra(world->stack->view(), 1, -1.0), 8200.0, 1.0));
}
BENCHMARK(BM_ResidualRun)
  ->ArgName("threads")
  ->Arg(1)
  ->Arg(2)
  ->Iterations(3)
  ->UseRealTime()
  ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  World w;
  if (!w.stack->ok())
    return 1;
  world = &w;
  benchmark::RunSpecifiedBenchmarks();
  world = nullptr;
  return 0;
}
