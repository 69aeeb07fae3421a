#include "python/ArrayStack.h"
#include "python/Bindings.h"

#include "spectrum/XafsSpectrum.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>

namespace py = pybind11;

namespace {

py::array_t<double> column(const SpectrumPoints& p, bool xs)
{
  py::array_t<double> out(p.size());
  for (int i = 0; i < p.size(); ++i)
    out.mutable_at(i) = xs ? p.x(i) : p.y(i);
  return out;
}

SpectrumPoints pointsOf(const py::handle& energies, const py::handle& mu, const char* what)
{
  const auto e = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(energies);
  const auto v = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(mu);
  if (!e || !v || e.ndim() != 1 || v.ndim() != 1)
    throw py::value_error(std::string(what) + ": energies and mu must be 1-D arrays of numbers");
  if (e.shape(0) != v.shape(0))
    throw py::value_error(std::string(what) + ": energies and mu differ in length");
  SpectrumPoints p;
  for (py::ssize_t i = 0; i < e.shape(0); ++i) {
    if (!std::isfinite(e.at(i)) || !std::isfinite(v.at(i)))
      throw py::value_error(std::string(what) + ": energies and mu must be finite");
    // Repeated energies pass, as in the spectrum files the program reads
    // (a scan that paused); going back does not.
    if (i > 0 && e.at(i) < e.at(i - 1))
      throw py::value_error(std::string(what) + ": energies must not decrease");
    p.append(e.at(i), v.at(i));
  }
  return p;
}

py::tuple spectrum(const py::array& i1,
                   const py::object& i0,
                   const py::object& dark,
                   const py::array_t<double>& energies,
                   int x,
                   int y,
                   int bw,
                   int bh,
                   bool fluorescence)
{
  const ArrayStack stack(i1, i0, dark, energies, fluorescence);
  if (x < 0 || y < 0 || x >= stack.width() || y >= stack.height())
    throw py::value_error("point (" + std::to_string(x) + ", " + std::to_string(y) +
                          ") is outside the frames");
  if (bw < 0 || bh < 0)
    throw py::value_error("band half widths must not be negative");
  SpectrumPoints p;
  {
    py::gil_scoped_release release;
    p = spectrumAt(stack.view(), x, y, bw, bh);
  }
  return py::make_tuple(column(p, true), column(p, false));
}

py::dict normalize(const py::object& energies,
                   const py::object& mu,
                   double preEdgeEnd,
                   double postEdgeStart,
                   bool victoreen,
                   double suggestedEdge)
{
  const SpectrumPoints p = pointsOf(energies, mu, "normalize");
  if (p.size() < 2)
    throw py::value_error("normalize: a spectrum needs at least two points");
  if (!std::isfinite(preEdgeEnd) || !std::isfinite(postEdgeStart))
    throw py::value_error("normalize: the edge windows must be finite");
  const XafsSpectrum s(
    p, QStringLiteral("python"), victoreen ? 0 : 1, 0.0, suggestedEdge, preEdgeEnd, postEdgeStart);
  py::dict d;
  d["energies"] = column(s.points, true);
  d["mu"] = column(s.points, false);
  d["normalized"] = column(s.curve(XafsSpectrum::CurveDoubleNormalized), false);
  d["flattened"] = column(s.curve(XafsSpectrum::CurvePostBasePlusOne), false);
  py::array_t<double> pre(s.size()), post(s.size());
  for (int i = 0; i < s.size(); ++i) {
    pre.mutable_at(i) = s.preValue(s.energy(i));
    post.mutable_at(i) = s.postValue(s.energy(i));
  }
  d["pre_edge"] = pre;
  d["post_edge"] = post;
  d["edge"] = s.midx;
  d["jump"] = s.dMut;
  return d;
}

} // namespace

XafsSpectrum spectrumFrom(const py::handle& source, const char* what)
{
  XafsSpectrum s;
  if (py::isinstance<py::tuple>(source) || py::isinstance<py::list>(source)) {
    const py::sequence pair = py::reinterpret_borrow<py::sequence>(source);
    if (pair.size() != 2)
      throw py::value_error(std::string(what) + " must be a file path or an (energies, mu) pair");
    s.points = pointsOf(pair[0], pair[1], what);
  } else {
    const QString path = pathOf(source);
    QString why;
    if (!s.load(path, &why))
      throw py::value_error(std::string(what) + ": cannot read the spectrum file (" +
                            why.toStdString() + ")");
  }
  if (s.size() < 2)
    throw py::value_error(std::string(what) + " needs at least two points");
  return s;
}

void bindSpectra(py::module_& m)
{
  m.def("spectrum",
        &spectrum,
        py::arg("i1"),
        py::arg("i0"),
        py::arg("dark"),
        py::arg("energies"),
        py::arg("x"),
        py::arg("y"),
        py::arg("bw"),
        py::arg("bh"),
        py::arg("fluorescence"));
  m.def("normalize",
        &normalize,
        py::arg("energies"),
        py::arg("mu"),
        py::arg("pre_edge_end"),
        py::arg("post_edge_start"),
        py::arg("victoreen"),
        py::arg("suggested_edge"));
}
