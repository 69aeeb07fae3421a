#include "python/ArrayStack.h"

#include "input/TiffData.h"

#include <cmath>
#include <cstring>

namespace py = pybind11;

namespace {

int pixelTypeOf(const py::array& a, const char* what)
{
  // Equivalent types, not identical dtype objects: an array made by astype
  // carries a dtype object of its own.
  if (py::isinstance<py::array_t<quint16>>(a))
    return TiffData::Tiff16;
  if (py::isinstance<py::array_t<quint32>>(a))
    return TiffData::Img32;
  if (py::isinstance<py::array_t<float>>(a))
    return TiffData::VrskFloat;
  throw py::type_error(std::string(what) + " must be uint16, uint32 or float32, not " +
                       std::string(py::str(a.dtype())));
}

bool allFinite(const float* row0, qint64 rowBytes, quint32 w, quint32 h)
{
  for (quint32 r = 0; r < h; ++r) {
    const float* row =
      reinterpret_cast<const float*>(reinterpret_cast<const char*>(row0) + qint64(r) * rowBytes);
    for (quint32 c = 0; c < w; ++c)
      if (!std::isfinite(row[c]))
        return false;
  }
  return true;
}

// One frame over the samples at `base`; a float frame with a non-finite
// sample gets rows of its own (cleaned by the frame as a file's would be).
std::unique_ptr<TiffData> frameAt(const char* base,
                                  int type,
                                  quint32 w,
                                  quint32 h,
                                  qint64 rowBytes,
                                  double energy,
                                  const QString& name)
{
  auto f = std::make_unique<TiffData>();
  bool ok = false;
  if (type == TiffData::VrskFloat &&
      !allFinite(reinterpret_cast<const float*>(base), rowBytes, w, h)) {
    const size_t bytes = size_t(w) * sizeof(float);
    ok = f->fillSamples(name, w, h, type, [&](quint32 first, quint32 count, void* dst) {
      for (quint32 r = 0; r < count; ++r)
        std::memcpy(
          static_cast<char*>(dst) + r * bytes, base + qint64(first + r) * rowBytes, bytes);
      return true;
    });
  } else {
    ok = f->borrowSamples(name, w, h, type, base, rowBytes);
  }
  if (!ok)
    throw py::value_error("frames of " + std::to_string(w) + " x " + std::to_string(h) +
                          " pixels are beyond what a frame may hold");
  f->energy = energy;
  return f;
}

void requireRows(const py::array& a, const char* what)
{
  const int n = int(a.ndim());
  // Rows must be contiguous and every stride positive: the frames read rows
  // through one pointer each.
  if (a.strides(n - 1) != a.itemsize())
    throw py::value_error(std::string(what) +
                          " must have contiguous rows (numpy.ascontiguousarray)");
  for (int d = 0; d < n - 1; ++d)
    if (a.strides(d) <= 0)
      throw py::value_error(std::string(what) + " must not have negative or zero strides");
}

} // namespace

std::vector<std::unique_ptr<TiffData>> framesOf(const py::array& a,
                                                const QVector<double>& energies,
                                                const char* what)
{
  const int type = pixelTypeOf(a, what);
  if (a.ndim() != 3)
    throw py::value_error(std::string(what) + " must have three axes (energy, y, x), not " +
                          std::to_string(a.ndim()));
  // Before the strides: numpy gives empty axes strides of its own choice.
  if (a.shape(1) <= 0 || a.shape(2) <= 0)
    throw py::value_error(std::string(what) + " has empty frames");
  requireRows(a, what);
  if (a.shape(0) != energies.size())
    throw py::value_error(std::string(what) + " has " + std::to_string(a.shape(0)) +
                          " frames but there are " + std::to_string(energies.size()) + " energies");
  std::vector<std::unique_ptr<TiffData>> frames;
  const char* base = static_cast<const char*>(a.data());
  for (py::ssize_t k = 0; k < a.shape(0); ++k)
    frames.push_back(frameAt(base + k * a.strides(0),
                             type,
                             quint32(std::min<py::ssize_t>(a.shape(2), TiffData::kMaxSide + 1)),
                             quint32(std::min<py::ssize_t>(a.shape(1), TiffData::kMaxSide + 1)),
                             a.strides(1),
                             energies[int(k)],
                             QStringLiteral("%1[%2]").arg(what).arg(k)));
  return frames;
}

ArrayStack::ArrayStack(const py::array& i1,
                       const py::object& i0,
                       const py::object& dark,
                       const py::array_t<double>& energies,
                       bool fluorescence)
{
  if (energies.ndim() != 1)
    throw py::value_error("energies must be one-dimensional");
  auto e = energies.unchecked<1>();
  for (py::ssize_t k = 0; k < e.shape(0); ++k) {
    if (!std::isfinite(e(k)))
      throw py::value_error("energies must be finite");
    if (k > 0 && !(e(k) > e(k - 1)))
      throw py::value_error("energies must be strictly increasing (energy " + std::to_string(k) +
                            " is not above the one before)");
    m_energies.append(e(k));
  }
  if (m_energies.size() < 2)
    throw py::value_error("a stack needs at least two energies");
  m_held.push_back(i1);
  for (auto& f : framesOf(i1, m_energies, "i1")) {
    m_view.i1.append(f.get());
    m_frames.push_back(std::move(f));
  }
  m_view.width = int(i1.shape(2));
  m_view.height = int(i1.shape(1));
  if (!i0.is_none()) {
    if (!py::isinstance<py::array>(i0))
      throw py::type_error("i0 must be a numpy array or None");
    const py::array a = py::reinterpret_borrow<py::array>(i0);
    if (a.ndim() != 3 || a.shape(1) != i1.shape(1) || a.shape(2) != i1.shape(2))
      throw py::value_error("i0 must have the shape of i1");
    m_held.push_back(a);
    for (auto& f : framesOf(a, m_energies, "i0")) {
      m_view.i0.append(f.get());
      m_frames.push_back(std::move(f));
    }
    m_view.useI0 = true;
  }
  if (!dark.is_none()) {
    if (!py::isinstance<py::array>(dark))
      throw py::type_error("dark must be a numpy array or None");
    const py::array d = py::reinterpret_borrow<py::array>(dark);
    const int type = pixelTypeOf(d, "dark");
    if (d.ndim() != 2 || d.shape(0) != i1.shape(1) || d.shape(1) != i1.shape(2))
      throw py::value_error("dark must be one frame (y, x) of the size of i1's frames");
    requireRows(d, "dark");
    m_held.push_back(d);
    m_frames.push_back(frameAt(static_cast<const char*>(d.data()),
                               type,
                               quint32(d.shape(1)),
                               quint32(d.shape(0)),
                               d.strides(0),
                               0.0,
                               QStringLiteral("dark")));
    m_view.dark = m_frames.back().get();
  }
  m_view.fluoType = fluorescence;
}

ArrayStack::~ArrayStack() = default;
