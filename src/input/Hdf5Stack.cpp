#include "input/Hdf5Stack.h"

#include "input/Hdf5Handles.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

using hdf5::Handle;
using hdf5::QuietErrors;

// A dataset may not hold more frames than this; larger counts come only
// from damaged files.
constexpr hsize_t kMaxFrames = 100000;
// Stored bytes may be compressed; no real compression packs more than this
// many bytes of samples into one stored byte.
constexpr double kMaxCompression = 1024.0;

// Where a refusal goes: the caller's string when it says the reason itself,
// else the debug output.
struct Say
{
  QString* into = nullptr;
  void operator()(const QString& line) const
  {
    if (into)
      *into = line;
    else
      qDebug().noquote() << line;
  }
};

bool linkExists(hid_t file, const QString& path)
{
  // Every step of the path must exist before the next can be asked for.
  const QStringList parts = path.split('/', Qt::SkipEmptyParts);
  if (parts.isEmpty())
    return false;
  QString sofar;
  for (const QString& p : parts) {
    sofar += '/' + p;
    if (H5Lexists(file, sofar.toUtf8().constData(), H5P_DEFAULT) <= 0)
      return false;
  }
  return H5Oexists_by_name(file, sofar.toUtf8().constData(), H5P_DEFAULT) > 0;
}

// The path to read: the one asked for, else the first usual name present.
// Empty when none is found.
QString findPath(hid_t file, const QString& asked, const QStringList& usual)
{
  if (!asked.isEmpty())
    return linkExists(file, asked) ? asked : QString();
  for (const QString& p : usual)
    if (linkExists(file, p))
      return p;
  return QString();
}

struct Dataset
{
  QString path;
  std::vector<hsize_t> dims;
  H5T_class_t typeClass = H5T_NO_CLASS;
  size_t typeSize = 0;
  hsize_t storage = 0;
};

bool describe(hid_t dset, const QString& path, Dataset& d)
{
  Handle space(H5Dget_space(dset), H5Sclose);
  Handle type(H5Dget_type(dset), H5Tclose);
  if (!space.ok() || !type.ok())
    return false;
  const int rank = H5Sget_simple_extent_ndims(space.id());
  if (rank < 0 || rank > 8)
    return false;
  d.path = path;
  d.dims.assign(size_t(rank), 0);
  H5Sget_simple_extent_dims(space.id(), d.dims.data(), nullptr);
  d.typeClass = H5Tget_class(type.id());
  d.typeSize = H5Tget_size(type.id());
  d.storage = H5Dget_storage_size(dset);
  return true;
}

// Frames of a 2-D or 3-D image dataset: (count, h, w); false for another
// rank or a size beyond the limits, with its debug line.
bool frameShape(const Say& say,
                const Dataset& d,
                const QString& file,
                bool allow2d,
                hsize_t& n,
                hsize_t& h,
                hsize_t& w)
{
  if (d.dims.size() == 3) {
    n = d.dims[0];
    h = d.dims[1];
    w = d.dims[2];
  } else if (allow2d && d.dims.size() == 2) {
    n = 1;
    h = d.dims[0];
    w = d.dims[1];
  } else {
    say(QStringLiteral("HDF5 dataset %1 has rank %2, not %3 : %4")
          .arg(d.path)
          .arg(d.dims.size())
          .arg(allow2d ? "2 or 3" : "3", file));
    return false;
  }
  if (d.typeClass != H5T_INTEGER && d.typeClass != H5T_FLOAT) {
    say(QStringLiteral("HDF5 dataset %1 is not numeric : %2").arg(d.path, file));
    return false;
  }
  const double samples = double(n) * double(h) * double(w);
  if (n == 0 || h == 0 || w == 0 || n > kMaxFrames || h > hsize_t(TiffData::kMaxSide) ||
      w > hsize_t(TiffData::kMaxSide) || double(h) * double(w) > double(TiffData::kMaxPixels) ||
      samples * 4.0 > double(d.storage) * kMaxCompression) {
    say(QStringLiteral("HDF5 dataset %1 is too large for what the file holds : %2")
          .arg(d.path, file));
    return false;
  }
  return true;
}

// Frame k of a (count, h, w) dataset (or the 2-D dataset itself) into a
// frame of the matching type. The library writes the rows straight into the
// frame's storage, a run of rows at a time: no buffer in between.
bool readFrame(hid_t dset,
               const Dataset& d,
               hsize_t k,
               hsize_t h,
               hsize_t w,
               const QString& name,
               TiffData& frame)
{
  Handle fileSpace(H5Dget_space(dset), H5Sclose);
  if (!fileSpace.ok())
    return false;
  const bool stack = d.dims.size() == 3;
  int type = TiffData::Img32;
  hid_t memType = H5T_NATIVE_UINT;
  if (d.typeClass == H5T_FLOAT) {
    type = TiffData::VrskFloat;
    memType = H5T_NATIVE_FLOAT;
  } else if (d.typeSize <= 2) {
    type = TiffData::Tiff16;
    memType = H5T_NATIVE_USHORT;
  }
  return frame.fillSamples(
    name, quint32(w), quint32(h), type, [&](quint32 first, quint32 count, void* dst) {
      const hsize_t start[3] = { k, first, 0 };
      const hsize_t size[3] = { 1, count, w };
      const int skip = stack ? 0 : 1; // a 2-D dataset has no frame index
      if (H5Sselect_hyperslab(
            fileSpace.id(), H5S_SELECT_SET, start + skip, nullptr, size + skip, nullptr) < 0)
        return false;
      const hsize_t memDims[2] = { count, w };
      Handle memSpace(H5Screate_simple(2, memDims, nullptr), H5Sclose);
      return memSpace.ok() &&
             H5Dread(dset, memType, memSpace.id(), fileSpace.id(), H5P_DEFAULT, dst) >= 0;
    });
}

bool readFrames(hid_t file,
                const Dataset& d,
                hsize_t n,
                hsize_t h,
                hsize_t w,
                const QString& fileName,
                std::vector<std::unique_ptr<TiffData>>& frames)
{
  Handle dset(H5Dopen2(file, d.path.toUtf8().constData(), H5P_DEFAULT), H5Dclose);
  if (!dset.ok())
    return false;
  for (hsize_t k = 0; k < n; ++k) {
    auto frame = std::make_unique<TiffData>();
    const QString name = QStringLiteral("%1:%2[%3]").arg(fileName, d.path).arg(k);
    if (!readFrame(dset.id(), d, k, h, w, name, *frame))
      return false;
    frames.push_back(std::move(frame));
  }
  return true;
}

bool openDataset(hid_t file, const QString& path, Dataset& d)
{
  Handle dset(H5Dopen2(file, path.toUtf8().constData(), H5P_DEFAULT), H5Dclose);
  return dset.ok() && describe(dset.id(), path, d);
}

void missing(const Say& say, const QString& what, const QString& asked, const QString& file)
{
  say(QStringLiteral("HDF5 %1 dataset %2 not found : %3")
        .arg(what, asked.isEmpty() ? QStringLiteral("(default names)") : asked, file));
}

} // namespace

bool readHdf5Stack(const QString& file, const Hdf5StackNames& names, Hdf5Stack& out, QString* why)
{
  const Say say{ why };
  const QuietErrors quiet;
  const QByteArray path = QFile::encodeName(file);
  const QFileInfo info(file);
  if (!info.exists() || (info.isFile() && !info.isReadable())) {
    say(QStringLiteral("Can not open HDF5 file : %1").arg(file));
    return false;
  }
  if (!info.isFile() || H5Fis_hdf5(path.constData()) <= 0) {
    say(QStringLiteral("Not an HDF5 file : %1").arg(file));
    return false;
  }
  Handle f(H5Fopen(path.constData(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
  if (!f.ok()) {
    say(QStringLiteral("Can not open HDF5 file : %1").arg(file));
    return false;
  }
  const hid_t fid = f.id();

  // I1: required.
  const QString dataPath = findPath(fid, names.data, { "/exchange/data", "/data" });
  Dataset data;
  if (dataPath.isEmpty() || !openDataset(fid, dataPath, data)) {
    missing(say, "data", names.data, file);
    return false;
  }
  hsize_t n = 0, h = 0, w = 0;
  if (!frameShape(say, data, file, false, n, h, w))
    return false;

  // Energies: required, one per frame.
  const QString energyPath = findPath(fid, names.energy, { "/exchange/energy", "/energy" });
  Dataset energy;
  if (energyPath.isEmpty() || !openDataset(fid, energyPath, energy)) {
    missing(say, "energy", names.energy, file);
    return false;
  }
  hsize_t count = 1;
  for (hsize_t dim : energy.dims)
    count *= dim;
  if (energy.typeClass != H5T_INTEGER && energy.typeClass != H5T_FLOAT) {
    say(QStringLiteral("HDF5 dataset %1 is not numeric : %2").arg(energyPath, file));
    return false;
  }
  if (count != n) {
    say(QStringLiteral("HDF5 energy list %1 has %2 values for %3 frames : %4")
          .arg(energyPath)
          .arg(count)
          .arg(n)
          .arg(file));
    return false;
  }
  QVector<double> energies(int(n), 0.0);
  {
    Handle dset(H5Dopen2(fid, energyPath.toUtf8().constData(), H5P_DEFAULT), H5Dclose);
    if (!dset.ok() ||
        H5Dread(dset.id(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, energies.data()) < 0) {
      say(QStringLiteral("Can not read HDF5 dataset %1 : %2").arg(energyPath, file));
      return false;
    }
  }
  for (double e : energies)
    if (!std::isfinite(e)) {
      say(QStringLiteral("HDF5 energy list %1 holds a non-number : %2").arg(energyPath, file));
      return false;
    }
  // Spectra run in ascending energy; a stack in another order made every
  // fit fail later with a reason that did not point here.
  for (int k = 1; k < energies.size(); ++k)
    if (!(energies[k] > energies[k - 1])) {
      say(QStringLiteral("HDF5 energy list %1 is not strictly increasing (energy %2 is not above "
                         "the one before) : %3")
            .arg(energyPath)
            .arg(k)
            .arg(file));
      return false;
    }
  // No edge of interest lies below 100 eV: a list all below that is in keV
  // (said once the file has proved readable).
  const bool keV =
    std::all_of(energies.begin(), energies.end(), [](double e) { return e < 100.0; });
  if (keV)
    for (double& e : energies)
      e *= 1000.0;

  // Flats and dark: optional under the usual names, required when named.
  auto optional = [&](const QString& asked,
                      const QStringList& usual,
                      const char* what,
                      Dataset& d,
                      hsize_t& frames) {
    const QString p = findPath(fid, asked, usual);
    if (p.isEmpty()) {
      if (!asked.isEmpty()) {
        missing(say, what, asked, file);
        return false;
      }
      frames = 0;
      return true;
    }
    hsize_t fh = 0, fw = 0;
    if (!openDataset(fid, p, d) || !frameShape(say, d, file, true, frames, fh, fw))
      return false;
    if (fh != h || fw != w) {
      say(QStringLiteral("HDF5 dataset %1 has frames of %2 x %3, not %4 x %5 : %6")
            .arg(p)
            .arg(fw)
            .arg(fh)
            .arg(w)
            .arg(h)
            .arg(file));
      return false;
    }
    return true;
  };
  Dataset flat;
  hsize_t flats = 0;
  if (!optional(names.flat, { "/exchange/data_white", "/flat" }, "flat", flat, flats))
    return false;
  if (flats > 1 && flats != n) {
    say(QStringLiteral("HDF5 flats %1 are %2 frames for %3 energies : %4")
          .arg(flat.path)
          .arg(flats)
          .arg(n)
          .arg(file));
    return false;
  }
  Dataset dark;
  hsize_t darks = 0;
  if (!optional(names.dark, { "/exchange/data_dark", "/dark" }, "dark", dark, darks))
    return false;

  Hdf5Stack s;
  s.energies = energies;
  if (!readFrames(fid, data, n, h, w, file, s.i1) ||
      (flats > 0 && !readFrames(fid, flat, flats, h, w, file, s.i0))) {
    say(QStringLiteral("Can not read HDF5 frames : %1").arg(file));
    return false;
  }
  for (hsize_t k = 0; k < n; ++k)
    s.i1[size_t(k)]->energy = energies[int(k)];
  for (size_t k = 0; k < s.i0.size(); ++k)
    s.i0[k]->energy = energies[int(k)];
  if (darks > 0) {
    std::vector<std::unique_ptr<TiffData>> frames;
    if (!readFrames(fid, dark, darks, h, w, file, frames)) {
      say(QStringLiteral("Can not read HDF5 frames : %1").arg(file));
      return false;
    }
    // The average of the dark frames, one sum per pixel.
    std::vector<double> sum(size_t(h) * size_t(w), 0.0);
    for (const auto& fr : frames)
      for (hsize_t y = 0; y < h; ++y)
        for (hsize_t x = 0; x < w; ++x)
          sum[size_t(y) * w + x] += fr->value(int(x), int(y));
    std::vector<float> mean(sum.size());
    for (size_t i = 0; i < sum.size(); ++i)
      mean[i] = float(sum[i] / double(darks));
    s.dark = std::make_unique<TiffData>();
    s.dark->takeSamples(
      QStringLiteral("%1:%2").arg(file, dark.path), quint32(w), quint32(h), mean.data());
  }
  if (keV)
    qDebug().noquote() << QStringLiteral("HDF5 energies of %1 taken as keV").arg(energyPath);
  out = std::move(s);
  return true;
}
