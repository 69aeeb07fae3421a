#include "Hdf5Writer.h"

#include "input/TiffData.h"

#include <QFile>
#include <QStringList>

#include <hdf5.h>

#include <vector>

namespace stackgen {

namespace {

hid_t fileType(Hdf5Item::Type t)
{
  switch (t) {
    case Hdf5Item::U16:
      return H5T_NATIVE_USHORT;
    case Hdf5Item::U32:
      return H5T_NATIVE_UINT;
    case Hdf5Item::F32:
      return H5T_NATIVE_FLOAT;
    case Hdf5Item::F64:
      break;
  }
  return H5T_NATIVE_DOUBLE;
}

bool writeItem(hid_t file, const Hdf5Item& item)
{
  // Groups along the path first.
  const QStringList parts = item.path.split('/', Qt::SkipEmptyParts);
  QString sofar;
  for (int i = 0; i + 1 < parts.size(); ++i) {
    sofar += '/' + parts[i];
    const QByteArray g = sofar.toUtf8();
    if (H5Lexists(file, g.constData(), H5P_DEFAULT) <= 0) {
      const hid_t group = H5Gcreate2(file, g.constData(), H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
      if (group < 0)
        return false;
      H5Gclose(group);
    }
  }
  std::vector<hsize_t> dims(item.dims.begin(), item.dims.end());
  const hid_t space = H5Screate_simple(int(dims.size()), dims.data(), nullptr);
  const hid_t type = fileType(item.type);
  const hid_t dset = H5Dcreate2(
    file, item.path.toUtf8().constData(), type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
  bool ok = dset >= 0;
  // The library converts the doubles to the stored type.
  if (ok && !item.values.isEmpty())
    ok = H5Dwrite(
           dset, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, item.values.constData()) >= 0;
  if (dset >= 0)
    H5Dclose(dset);
  H5Sclose(space);
  return ok;
}

// The frames of `files` one after another, row-major.
bool appendFrames(const QStringList& files, QVector<double>& values, int& w, int& h)
{
  for (const QString& f : files) {
    TiffData t;
    if (!t.read(f))
      return false;
    w = int(t.width);
    h = int(t.height);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        values.append(t.value(x, y));
  }
  return true;
}

} // namespace

bool writeHdf5(const QString& path, const QVector<Hdf5Item>& items)
{
  const hid_t file =
    H5Fcreate(QFile::encodeName(path).constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
  if (file < 0)
    return false;
  bool ok = true;
  for (const Hdf5Item& item : items)
    ok = ok && writeItem(file, item);
  return H5Fclose(file) >= 0 && ok;
}

bool writeHdf5Stack(const StackTruth& t, const QString& path, bool keV)
{
  if (!t.ok)
    return false;
  int w = 0;
  int h = 0;
  QVector<Hdf5Item> items;
  Hdf5Item data{ "/exchange/data", {}, {}, Hdf5Item::U16 };
  if (!appendFrames(t.i1Files, data.values, w, h))
    return false;
  data.dims = { qulonglong(t.i1Files.size()), qulonglong(h), qulonglong(w) };
  items.append(data);
  if (!t.i0Files.isEmpty()) {
    Hdf5Item flat{ "/exchange/data_white", {}, {}, Hdf5Item::U16 };
    if (!appendFrames(t.i0Files, flat.values, w, h))
      return false;
    flat.dims = { qulonglong(t.i0Files.size()), qulonglong(h), qulonglong(w) };
    items.append(flat);
  }
  if (!t.darkFile.isEmpty()) {
    Hdf5Item dark{ "/exchange/data_dark", {}, {}, Hdf5Item::U16 };
    if (!appendFrames({ t.darkFile }, dark.values, w, h))
      return false;
    dark.dims = { 1, qulonglong(h), qulonglong(w) };
    items.append(dark);
  }
  Hdf5Item energy{
    "/exchange/energy", { qulonglong(t.energies.size()) }, t.energies, Hdf5Item::F64
  };
  if (keV)
    for (double& e : energy.values)
      e /= 1000.0;
  items.append(energy);
  return writeHdf5(path, items);
}

} // namespace stackgen
