#include "python/ArrayStack.h"
#include "python/Bindings.h"
#include "python/PointMaps.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <thread>

namespace py = pybind11;

namespace {

py::dict clusterMap(const py::array& i1,
                    const py::object& i0,
                    const py::object& dark,
                    const py::array_t<double>& energies,
                    int clusters,
                    int scores,
                    int bx,
                    int by,
                    const py::object& region,
                    bool fluorescence,
                    double fitFrom,
                    double fitTo,
                    const py::object& shifts,
                    double suggestedEdge,
                    int threads)
{
  const ArrayStack stack(i1, i0, dark, energies, fluorescence);
  const AnalyzeCond cond = pointArea(stack.width(), stack.height(), bx, by, regionOf(region));
  if (!std::isfinite(fitFrom) || !std::isfinite(fitTo) || !(fitTo > fitFrom))
    throw py::value_error("fit_range must be two finite energies, the second above the first");
  ComponentSetup setup;
  setup.spectra = PointSpectra(
    stack.view(), 1, suggestedEdge, shiftViewOf(shifts, stack.width(), stack.height()));
  setup.fitLo = fitFrom;
  setup.fitHi = fitTo;
  setup.clusters = clusters;
  setup.autoScores = scores <= 0;
  setup.clusterScores = scores;
  ComponentRun run;
  QString refusal;
  QObject::connect(&run, &ComponentRun::refused, [&](const QString& why) { refusal = why; });
  bool started = false;
  {
    py::gil_scoped_release release;
    run.engine().setThreadCount(
      threads > 0 ? threads : std::max(1, int(std::thread::hardware_concurrency())));
    started = run.start(&cond, setup);
    if (started)
      run.waitForEnd();
  }
  if (!started)
    throw py::value_error(refusal.toStdString());
  if (!run.clusterMap() || run.clusters().isEmpty())
    throw py::value_error("the cluster run gave no clusters");
  py::dict out;
  out["clusters"] = mapArray(run.clusterMap()->data(), stack.width(), stack.height());
  py::list scoreMaps;
  for (Analyzed2DRes* m : run.maps())
    if (m != run.clusterMap())
      scoreMaps.append(mapArray(m->data(), stack.width(), stack.height()));
  out["scores"] = scoreMaps;
  out["explained"] = py::array_t<double>(run.explained().size(), run.explained().constData());
  py::list means;
  for (const ClusterMean& c : run.clusters()) {
    py::array_t<double> e(c.spectrum.size()), mu(c.spectrum.size());
    for (int i = 0; i < c.spectrum.size(); ++i) {
      e.mutable_at(i) = c.spectrum.points.x(i);
      mu.mutable_at(i) = c.spectrum.points.y(i);
    }
    means.append(py::make_tuple(e, mu, c.count));
  }
  out["means"] = means;
  return out;
}

} // namespace

void bindComponents(py::module_& m)
{
  m.def("cluster_map",
        &clusterMap,
        py::arg("i1"),
        py::arg("i0"),
        py::arg("dark"),
        py::arg("energies"),
        py::arg("clusters"),
        py::arg("scores"),
        py::arg("bx"),
        py::arg("by"),
        py::arg("region"),
        py::arg("fluorescence"),
        py::arg("fit_from"),
        py::arg("fit_to"),
        py::arg("shift_map"),
        py::arg("suggested_edge"),
        py::arg("threads"));
}
