#include "python/ArrayStack.h"
#include "python/Bindings.h"
#include "python/PointMaps.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/LcfKernel.h"
#include "analysis/LcfRunMaps.h"
#include "analysis/ReferenceOverlap.h"
#include "calibration/CalibKernel.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <QMap>
#include <QStringList>

#include <cmath>

namespace py = pybind11;

namespace {

// (source, dE, victoreen) per reference, as the batch's reference rows hold
// them: used, dE set, normalised in the row's mode.
QVector<RefSnapshot> referencesOf(const py::list& refs)
{
  QVector<RefSnapshot> out;
  int k = 0;
  for (const py::handle item : refs) {
    const std::string what = "reference " + std::to_string(k++);
    const py::tuple t = py::reinterpret_borrow<py::tuple>(item);
    if (!py::isinstance<py::tuple>(item) || t.size() != 3)
      throw py::value_error(what + " must be (source, dE, victoreen)");
    XafsSpectrum s = spectrumFrom(t[0], what.c_str());
    const double dE = t[1].cast<double>();
    if (!std::isfinite(dE))
      throw py::value_error(what + ": dE must be finite");
    const bool victoreen = t[2].cast<bool>();
    s.normalize(victoreen ? 0 : 1);
    out.append(RefSnapshot::take(s, dE, true, true, victoreen));
  }
  if (out.size() < 2)
    throw py::value_error("a fit needs at least two references");
  return out;
}

} // namespace

EnergyShiftView shiftViewOf(const py::object& shifts, int width, int height)
{
  EnergyShiftView v;
  if (shifts.is_none())
    return v;
  const auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(shifts);
  if (!a || a.ndim() != 2 || a.shape(0) != height || a.shape(1) != width)
    throw py::value_error("shift_map must be a (y, x) array of the frames' size");
  v.width = width;
  v.height = height;
  v.area = QRect(0, 0, width, height);
  v.values.resize(width * height);
  const double* src = a.data();
  for (int i = 0; i < v.values.size(); ++i) {
    if (!std::isfinite(src[i]))
      throw py::value_error("shift_map must be finite");
    v.values[i] = src[i];
  }
  return v;
}

QVector<double> regionOf(const py::object& region)
{
  QVector<double> r;
  if (region.is_none())
    return r;
  for (const py::handle v : py::reinterpret_borrow<py::sequence>(region))
    r.append(v.cast<double>());
  return r;
}

namespace {

py::dict lcfMap(const py::array& i1,
                const py::object& i0,
                const py::object& dark,
                const py::array_t<double>& energies,
                const py::list& refs,
                int bx,
                int by,
                const py::object& region,
                bool fluorescence,
                bool mlcf,
                double fitFrom,
                double fitTo,
                bool sumToOne,
                bool nonNegative,
                const py::object& shifts,
                double suggestedEdge,
                int threads)
{
  const ArrayStack stack(i1, i0, dark, energies, fluorescence);
  const QVector<RefSnapshot> snaps = referencesOf(refs);
  const AnalyzeCond cond = pointArea(stack.width(), stack.height(), bx, by, regionOf(region));
  // A reference that misses the stack's energies would fit as zero
  // everywhere without a word.
  const ReferenceOverlap overlap = checkReferenceOverlap(
    referenceSpans(snaps), EnergySpan{ stack.energies().first(), stack.energies().last() });
  if (overlap.anyMisses)
    throw py::value_error(overlap.line.toStdString());
  if (!std::isfinite(fitFrom) || !std::isfinite(fitTo) || !(fitTo > fitFrom))
    throw py::value_error("fit_range must be two finite energies, the second above the first");
  FitConditions fit;
  fit.sE0 = fitFrom;
  fit.eE0 = fitTo;
  fit.sumToOne = sumToOne;
  fit.nonNegative = sumToOne && nonNegative;
  fit.buildSpectrum = false;
  const PointSpectra spectra(
    stack.view(), 1, suggestedEdge, shiftViewOf(shifts, stack.width(), stack.height()));

  const int n = snaps.size();
  std::vector<std::unique_ptr<Analyzed2DRes>> owned;
  LcfRunMaps maps;
  for (int i = 0; i < 2 * n + 1; ++i)
    owned.push_back(std::make_unique<Analyzed2DRes>());
  for (int i = 0; i < n; ++i) {
    maps.amounts.append(owned[size_t(i)].get());
    maps.fractions.append(owned[size_t(n + i)].get());
  }
  maps.zansa = owned.back().get();
  QMap<int, int> notFitted;
  {
    py::gil_scoped_release release;
    auto kernel = std::make_shared<LcfKernel>(spectra, snaps, mlcf, fit);
    const QVector<int> refIndex = kernel->refIndex();
    const int used = refIndex.size();
    maps.reset(cond);
    AnalyzeCond at = cond;
    runPoints(cond, kernel, threads, [&](const RasterPoint& p, const double* v) {
      at.cx = p.cx;
      at.cy = p.cy;
      at.newRow = p.newRow;
      ++notFitted[int(v[1 + 2 * used])];
      maps.record(v[0], v + 1, v + 1 + used, refIndex, at);
    });
  }
  // Points the fit left out are NaN in the maps; the program says why in
  // its log, Python in a warning.
  notFitted.remove(int(FitStatus::Ok));
  QStringList parts;
  for (auto it = notFitted.cbegin(); it != notFitted.cend(); ++it)
    parts << QStringLiteral("%1 (%2)").arg(it.value()).arg(fitStatusText(FitStatus(it.key())));
  if (!parts.isEmpty()) {
    const QString line =
      QStringLiteral("LCF map: points not fitted (NaN in the maps): ") + parts.join(", ");
    if (PyErr_WarnEx(PyExc_RuntimeWarning, line.toUtf8().constData(), 1) < 0)
      throw py::error_already_set();
  }
  py::dict out;
  const int w = stack.width(), h = stack.height();
  for (int i = 0; i < n; ++i) {
    out[py::str("fraction" + std::to_string(i))] = mapArray(maps.fractions[i]->data(), w, h);
    out[py::str("amount" + std::to_string(i))] = mapArray(maps.amounts[i]->data(), w, h);
  }
  out["residual"] = mapArray(maps.zansa->data(), w, h);
  return out;
}

py::array_t<double> shiftMap(const py::array& i1,
                             const py::object& i0,
                             const py::object& dark,
                             const py::array_t<double>& energies,
                             const py::object& standard,
                             int bx,
                             int by,
                             const py::object& region,
                             bool fluorescence,
                             bool targetVictoreen,
                             bool standardVictoreen,
                             double edge,
                             int edgePosition,
                             double suggestedEdge,
                             int threads)
{
  const ArrayStack stack(i1, i0, dark, energies, fluorescence);
  const AnalyzeCond cond = pointArea(stack.width(), stack.height(), bx, by, regionOf(region));
  if (edgePosition < 0 || edgePosition > 2)
    throw py::value_error("edge_position must be 'grid', 'interpolated' or 'derivative'");
  const EdgeLocate locate = EdgeLocate(edgePosition);
  std::unique_ptr<XafsSpectrum> std;
  if (!standard.is_none()) {
    std = std::make_unique<XafsSpectrum>(spectrumFrom(standard, "standard"));
    std->normalize(standardVictoreen ? 0 : 1);
  } else if (!(edge > 0.0)) {
    throw py::value_error("shift_map needs a standard spectrum or a standard edge energy above 0");
  }
  const double stdEdge = calibStandardEdge(std.get(), edge, locate);
  const PointSpectra spectra(stack.view(),
                             targetVictoreen ? 0 : 1,
                             suggestedEdge,
                             EnergyShiftView(),
                             QStringLiteral("Body-Calib"));
  Analyzed2DRes map;
  {
    py::gil_scoped_release release;
    auto kernel = std::make_shared<CalibPointKernel>(spectra, stdEdge, locate);
    map.reset(cond);
    runPoints(cond, kernel, threads, [&](const RasterPoint& p, const double* v) {
      map.setData(p.cx, p.cy, p.bx, p.by, v[0]);
    });
  }
  return mapArray(map.data(), stack.width(), stack.height());
}

} // namespace

void bindMaps(py::module_& m)
{
  m.def("lcf_map",
        &lcfMap,
        py::arg("i1"),
        py::arg("i0"),
        py::arg("dark"),
        py::arg("energies"),
        py::arg("references"),
        py::arg("bx"),
        py::arg("by"),
        py::arg("region"),
        py::arg("fluorescence"),
        py::arg("mlcf"),
        py::arg("fit_from"),
        py::arg("fit_to"),
        py::arg("sum_to_one"),
        py::arg("non_negative"),
        py::arg("shift_map"),
        py::arg("suggested_edge"),
        py::arg("threads"));
  m.def("shift_map",
        &shiftMap,
        py::arg("i1"),
        py::arg("i0"),
        py::arg("dark"),
        py::arg("energies"),
        py::arg("standard"),
        py::arg("bx"),
        py::arg("by"),
        py::arg("region"),
        py::arg("fluorescence"),
        py::arg("target_victoreen"),
        py::arg("standard_victoreen"),
        py::arg("edge"),
        py::arg("edge_position"),
        py::arg("suggested_edge"),
        py::arg("threads"));
}
