#include "python/ArrayStack.h"
#include "python/Bindings.h"
#include "python/PointMaps.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemAnalysis.h"
#include "analysis/ElemKernel.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <QStringList>

#include <cmath>

namespace py = pybind11;

namespace {

// The Python names of an edge's seven maps, in ElemMapKind order.
const char* const kKindNames[ElemMapCount] = { "dmut",  "ratio", "mu_plus", "mu_minus",
                                               "shift", "roi",   "nroi" };

double finiteOr(const py::handle& v, const char* what)
{
  if (!py::isinstance<py::float_>(v) && !py::isinstance<py::int_>(v))
    throw py::type_error(std::string(what) + " must be a number");
  const double d = v.cast<double>();
  if (!std::isfinite(d))
    throw py::value_error(std::string(what) + " must be finite");
  return d;
}

// One row per edge as the analysis window builds it from "Target Element
// Names": E0 from the edge table as its field shows it (six digits), the
// row's defaults, then what the caller set.
QVector<ElemCond> edgesOf(const QString& names, double dE, const py::dict& rows, QStringList& keys)
{
  QVector<ElemCond> conds;
  for (const ElemEntry& entry : parseElemNames(names, false)) {
    ElemCond c;
    c.name = entry.name();
    c.e0 = QString::number(entry.e0, 'g', 6).toDouble();
    c.dE = dE;
    const py::str key(c.name.toStdString());
    if (rows.contains(key)) {
      if (!py::isinstance<py::dict>(rows[key]))
        throw py::type_error(c.name.toStdString() + ": its settings must be a dict");
      const py::dict r = rows[key].cast<py::dict>();
      for (const auto& item : r) {
        const std::string k = py::str(item.first);
        if (k == "roi") {
          if (!py::isinstance<py::sequence>(item.second))
            throw py::type_error(c.name.toStdString() + ": roi must be (start, end) in eV");
          const py::sequence s = item.second.cast<py::sequence>();
          if (s.size() != 2)
            throw py::value_error(c.name.toStdString() + ": roi must be (start, end) in eV");
          c.roiStart = finiteOr(s[0], "roi");
          c.roiEnd = finiteOr(s[1], "roi");
        } else if (k == "th_dmut") {
          c.thDMut = finiteOr(item.second, "th_dmut");
        } else if (k == "no_neg") {
          c.noNeg = item.second.cast<bool>();
        } else if (k == "use") {
          c.use = item.second.cast<bool>();
        } else if (k == "dE") {
          c.dE = finiteOr(item.second, "dE");
        } else {
          throw py::value_error(c.name.toStdString() + ": unknown setting " + k +
                                " (roi, th_dmut, no_neg, use, dE)");
        }
      }
    }
    keys << c.name;
    conds.append(c);
  }
  if (conds.isEmpty())
    throw py::value_error("no known edge in the element names \"" + names.toStdString() + "\"");
  return conds;
}

py::dict elementMaps(const py::array& i1,
                     const py::object& i0,
                     const py::object& dark,
                     const py::array_t<double>& energies,
                     const std::string& names,
                     int bx,
                     int by,
                     const py::object& region,
                     bool fluorescence,
                     int target,
                     double dE,
                     const py::dict& rows,
                     const std::vector<double>& background,
                     const py::object& shifts,
                     int edgePosition,
                     double suggestedEdge,
                     int threads)
{
  const ArrayStack stack(i1, i0, dark, energies, fluorescence);
  const AnalyzeCond cond = pointArea(stack.width(), stack.height(), bx, by, regionOf(region));
  if (!std::isfinite(dE))
    throw py::value_error("dE must be finite");
  QStringList keys;
  const QVector<ElemCond> conds = edgesOf(QString::fromStdString(names), dE, rows, keys);
  if (target < 0 || target >= conds.size())
    throw py::value_error("target must name one of the edges (0 .. " +
                          std::to_string(conds.size() - 1) + ")");
  if (background.size() != 4)
    throw py::value_error("background must be (dmut, dE, roi, nroi)");
  ElemBackground bg;
  bg.dmut = background[0];
  bg.dE = background[1];
  bg.roi = background[2];
  bg.nroi = background[3];
  if (edgePosition < 0 || edgePosition > 2)
    throw py::value_error("edge_position must be 'grid', 'interpolated' or 'derivative'");
  const PointSpectra spectra(
    stack.view(), 1, suggestedEdge, shiftViewOf(shifts, stack.width(), stack.height()));
  std::vector<std::unique_ptr<Analyzed2DRes>> maps;
  for (int i = 0; i < conds.size() * ElemMapCount; ++i)
    maps.push_back(std::make_unique<Analyzed2DRes>());
  {
    py::gil_scoped_release release;
    auto kernel =
      std::make_shared<ElemKernel>(spectra, conds, target, bg, EdgeLocate(edgePosition));
    for (auto& m : maps)
      m->reset(cond);
    const int n = int(maps.size());
    runPoints(cond, kernel, threads, [&](const RasterPoint& p, const double* v) {
      for (int i = 0; i < n; ++i)
        maps[size_t(i)]->setData(p.cx, p.cy, p.bx, p.by, v[i]);
    });
  }
  py::dict out;
  for (int e = 0; e < conds.size(); ++e) {
    py::dict edge;
    for (int kind = 0; kind < ElemMapCount; ++kind)
      edge[kKindNames[kind]] =
        mapArray(maps[size_t(e * ElemMapCount + kind)]->data(), stack.width(), stack.height());
    out[py::str(keys[e].toStdString())] = edge;
  }
  return out;
}

} // namespace

void bindElements(py::module_& m)
{
  m.def("element_maps",
        &elementMaps,
        py::arg("i1"),
        py::arg("i0"),
        py::arg("dark"),
        py::arg("energies"),
        py::arg("elements"),
        py::arg("bx"),
        py::arg("by"),
        py::arg("region"),
        py::arg("fluorescence"),
        py::arg("target"),
        py::arg("dE"),
        py::arg("rows"),
        py::arg("background"),
        py::arg("shift_map"),
        py::arg("edge_position"),
        py::arg("suggested_edge"),
        py::arg("threads"));
}
