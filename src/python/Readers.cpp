#include "python/Bindings.h"

#include "input/Hdf5Stack.h"
#include "input/TiffData.h"
#include "spectrum/XafsSpectrum.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstring>

namespace py = pybind11;

namespace {

py::dtype dtypeOf(int pixelType)
{
  switch (pixelType) {
    case TiffData::Tiff16:
    case TiffData::Img16:
      return py::dtype::of<quint16>();
    case TiffData::Img32:
      return py::dtype::of<quint32>();
    default:
      return py::dtype::of<float>();
  }
}

// The frames' samples into one (n, y, x) array; every frame has the size
// and type of the first (the readers refuse anything else).
py::array stackArray(const std::vector<const TiffData*>& frames)
{
  const TiffData* first = frames.front();
  const size_t rowBytes = size_t(first->width) * first->bytesPerPixel;
  py::array out(
    dtypeOf(first->pixelType),
    { py::ssize_t(frames.size()), py::ssize_t(first->height), py::ssize_t(first->width) });
  char* dst = static_cast<char*>(out.mutable_data());
  for (const TiffData* f : frames) {
    if (f->width != first->width || f->height != first->height || f->pixelType != first->pixelType)
      throw py::value_error("frames of different sizes or types: " + f->fileName.toStdString());
    for (quint32 r = 0; r < f->height; ++r, dst += rowBytes)
      std::memcpy(dst, f->rowAt(int(r)), rowBytes);
  }
  return out;
}

py::array readFrame(const py::object& path)
{
  const QString name = pathOf(path);
  TiffData frame;
  bool ok = false;
  {
    py::gil_scoped_release release;
    ok = frame.read(name) && !frame.isEmpty();
  }
  if (!ok)
    throw py::value_error("cannot read the image file " + name.toStdString());
  py::array a = stackArray({ &frame });
  return a.attr("reshape")(py::make_tuple(frame.height, frame.width));
}

py::dict readHdf5(const py::object& path)
{
  const QString name = pathOf(path);
  Hdf5Stack s;
  bool ok = false;
  QString why;
  {
    py::gil_scoped_release release;
    ok = readHdf5Stack(name, Hdf5StackNames(), s, &why);
  }
  if (!ok || s.i1.empty())
    throw py::value_error("cannot read an HDF5 stack from " + name.toStdString() +
                          (why.isEmpty() ? std::string() : " (" + why.toStdString() + ")"));
  auto plain = [](const std::vector<std::unique_ptr<TiffData>>& v) {
    std::vector<const TiffData*> out;
    for (const auto& f : v)
      out.push_back(f.get());
    return out;
  };
  py::dict d;
  d["i1"] = stackArray(plain(s.i1));
  d["i0"] = s.i0.empty() ? py::object(py::none()) : py::object(stackArray(plain(s.i0)));
  if (s.dark) {
    py::array a = stackArray({ s.dark.get() });
    d["dark"] = a.attr("reshape")(py::make_tuple(s.dark->height, s.dark->width));
  } else {
    d["dark"] = py::none();
  }
  d["energies"] = py::array_t<double>(py::ssize_t(s.energies.size()), s.energies.constData());
  return d;
}

py::tuple loadSpectrum(const py::object& path)
{
  const XafsSpectrum s = spectrumFrom(path, "spectrum");
  py::array_t<double> e(s.size()), mu(s.size());
  for (int i = 0; i < s.size(); ++i) {
    e.mutable_at(i) = s.points.x(i);
    mu.mutable_at(i) = s.points.y(i);
  }
  return py::make_tuple(e, mu);
}

} // namespace

QString pathOf(const py::handle& path)
{
  const py::object os = py::module_::import("os");
  return QString::fromStdString(py::str(os.attr("fspath")(path)).cast<std::string>());
}

void bindReaders(py::module_& m)
{
  m.def("read_frame",
        &readFrame,
        py::arg("path"),
        "One image file (TIFF, .img or VRSK) as a (y, x) array of its samples.");
  m.def("read_hdf5",
        &readHdf5,
        py::arg("path"),
        "An HDF5 stack: dict of i1 (energy, y, x), i0 (or None), dark (or None), energies.");
  m.def("load_spectrum",
        &loadSpectrum,
        py::arg("path"),
        "A spectrum file as (energies, mu), as a reference is read.");
}
