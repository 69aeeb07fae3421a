#include "output/MapHdf5.h"

#include "analysis/Analyzed2DRes.h"
#include "input/Hdf5Handles.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <unistd.h>

namespace {

using hdf5::Handle;

bool writeStringAttribute(hid_t owner, const char* name, const QString& value)
{
  const QByteArray bytes = value.toUtf8();
  Handle type(H5Tcopy(H5T_C_S1), H5Tclose);
  if (!type.ok() || H5Tset_size(type.id(), size_t(std::max(1, bytes.size()))) < 0 ||
      H5Tset_cset(type.id(), H5T_CSET_UTF8) < 0)
    return false;
  Handle space(H5Screate(H5S_SCALAR), H5Sclose);
  Handle attr(H5Acreate2(owner, name, type.id(), space.id(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
  return attr.ok() && H5Awrite(attr.id(), type.id(), bytes.constData()) >= 0;
}

template<class T>
bool writeAttribute(hid_t owner, const char* name, hid_t type, const T* values, hsize_t count)
{
  Handle space(H5Screate_simple(1, &count, nullptr), H5Sclose);
  Handle attr(H5Acreate2(owner, name, type, space.id(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
  return attr.ok() && H5Awrite(attr.id(), type, values) >= 0;
}

bool writeMap(hid_t group, const QString& path, const Analyzed2DRes& map)
{
  const AnalyzeCond& c = map.cond();
  const QVector<double>& values = map.selectedValues();
  if (c.width <= 0 || c.height <= 0 || values.size() < c.width * c.height)
    return true; // nothing to write is no failure
  const hsize_t dims[2] = { hsize_t(c.height), hsize_t(c.width) };
  Handle space(H5Screate_simple(2, dims, nullptr), H5Sclose);
  // No creation times: the same maps give the same file, run after run.
  Handle props(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
  if (!props.ok() || H5Pset_obj_track_times(props.id(), false) < 0)
    return false;
  Handle dset(H5Dcreate2(group,
                         path.toUtf8().constData(),
                         H5T_IEEE_F64LE,
                         space.id(),
                         H5P_DEFAULT,
                         props.id(),
                         H5P_DEFAULT),
              H5Dclose);
  if (!dset.ok() ||
      H5Dwrite(dset.id(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.constData()) < 0)
    return false;
  const int area[4] = { c.x0, c.y0, c.x1, c.y1 };
  const int bin[2] = { c.bx, c.by };
  const double range[2] = { map.min(), map.max() };
  if (!map.source().isEmpty() && !writeStringAttribute(dset.id(), "reference_file", map.source()))
    return false;
  return writeStringAttribute(dset.id(), "name", map.label()) &&
         writeAttribute(dset.id(), "area", H5T_NATIVE_INT, area, 4) &&
         writeAttribute(dset.id(), "bin_half", H5T_NATIVE_INT, bin, 2) &&
         writeAttribute(dset.id(), "min", H5T_NATIVE_DOUBLE, &range[0], 1) &&
         writeAttribute(dset.id(), "max", H5T_NATIVE_DOUBLE, &range[1], 1);
}

bool writeFile(const QByteArray& path, const QVector<const Analyzed2DRes*>& maps, int& written)
{
  Handle file(H5Fcreate(path.constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT), H5Fclose);
  if (!file.ok())
    return false;
  Handle groupProps(H5Pcreate(H5P_GROUP_CREATE), H5Pclose);
  if (!groupProps.ok() || H5Pset_obj_track_times(groupProps.id(), false) < 0)
    return false;
  Handle group(H5Gcreate2(file.id(), "maps", H5P_DEFAULT, groupProps.id(), H5P_DEFAULT), H5Gclose);
  if (!group.ok())
    return false;
  written = 0;
  for (const Analyzed2DRes* map : maps) {
    if (!map || !map->hasData())
      continue;
    const QString name = QStringLiteral("map_%1").arg(written, 3, 10, QLatin1Char('0'));
    if (!writeMap(group.id(), name, *map))
      return false;
    ++written;
  }
  const int count = written;
  return writeStringAttribute(file.id(), "creator", QStringLiteral("Lumacresta")) &&
         writeAttribute(file.id(), "map_count", H5T_NATIVE_INT, &count, 1) &&
         H5Fflush(file.id(), H5F_SCOPE_GLOBAL) >= 0;
}

} // namespace

QString hdf5MapFileName(const QString& fname)
{
  return QFileInfo(fname).suffix().isEmpty() ? fname + QStringLiteral(".h5") : fname;
}

bool writeMapsHdf5(const QString& fileName, const QVector<const Analyzed2DRes*>& maps)
{
  hdf5::QuietErrors quiet;
  const QString part = QStringLiteral("%1.part-%2").arg(fileName).arg(qint64(getpid()));
  int written = 0;
  const bool ok = writeFile(QFile::encodeName(part), maps, written);
  if (!ok || std::rename(QFile::encodeName(part).constData(),
                         QFile::encodeName(fileName).constData()) != 0) {
    QFile::remove(part);
    qDebug().noquote() << QStringLiteral("Can't write %1").arg(fileName);
    return false;
  }
  qDebug().noquote() << QStringLiteral("%1 maps written to %2").arg(written).arg(fileName);
  return true;
}
