#include "output/MapHdf5.h"

#include "analysis/Analyzed2DRes.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QFile>

#include <gtest/gtest.h>

#include <hdf5.h>

#include <string>
#include <vector>

namespace {

// What a reader in another language sees of one dataset.
struct Stored
{
  std::vector<hsize_t> dims;
  std::vector<double> values;
  std::string name;
  std::vector<int> area;
};

bool readBack(const QString& file, const char* path, Stored& out)
{
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); // a missing dataset is an answer here
  const hid_t f = H5Fopen(QFile::encodeName(file).constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
  if (f < 0)
    return false;
  const hid_t d = H5Dopen2(f, path, H5P_DEFAULT);
  bool ok = d >= 0;
  if (ok) {
    const hid_t space = H5Dget_space(d);
    out.dims.assign(size_t(H5Sget_simple_extent_ndims(space)), 0);
    H5Sget_simple_extent_dims(space, out.dims.data(), nullptr);
    H5Sclose(space);
    out.values.assign(size_t(H5Dget_storage_size(d) / sizeof(double)), 0.0);
    ok = H5Dread(d, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, out.values.data()) >= 0;
    const hid_t name = H5Aopen(d, "name", H5P_DEFAULT);
    const hid_t type = H5Aget_type(name);
    out.name.assign(H5Tget_size(type), '\0');
    ok = ok && H5Aread(name, type, &out.name[0]) >= 0;
    H5Tclose(type);
    H5Aclose(name);
    const hid_t area = H5Aopen(d, "area", H5P_DEFAULT);
    out.area.assign(4, 0);
    ok = ok && H5Aread(area, H5T_NATIVE_INT, out.area.data()) >= 0;
    H5Aclose(area);
    H5Dclose(d);
  }
  H5Fclose(f);
  return ok;
}

} // namespace

// Two maps with data and one without: two datasets, row 0 first, each with
// its name and area.
TEST(MapHdf5, OneDatasetPerMapWithItsNameAndFailedWritesSaySo)
{
  const AnalyzeCond c = lctest::area(3, 2, 0, 0, 1, 0, 2, 2);
  // Every reference's fraction map is "LCF Ref 2": the file names the row
  // and the kind.
  Analyzed2DRes fraction(QStringLiteral("LCF Ref 2"));
  fraction.setLabel(QStringLiteral("LCF Ref 1 Fraction"));
  fraction.setSource(QStringLiteral("ref_A.dat"));
  fraction.reset(c);
  fraction.setData(1, 0, 0, 0, 0.25);
  fraction.setData(2, 1, 0, 0, 0.75);
  Analyzed2DRes empty(QStringLiteral("never run"));
  Analyzed2DRes shown(QStringLiteral("a2d Zansa"));
  shown.reset(c);
  shown.setData(1, 1, 0, 0, 5.0);

  const QString file = lctest::scratchDir("MapHdf5") + QStringLiteral("/maps");
  lctest::MessageCapture log;
  ASSERT_TRUE(writeMapsHdf5(hdf5MapFileName(file), { &fraction, &empty, &shown }));
  EXPECT_TRUE(log.has(QStringLiteral("2 maps written to %1.h5").arg(file)));
  Stored first, second, none;
  ASSERT_TRUE(readBack(file + ".h5", "/maps/map_000", first));
  EXPECT_EQ(first.name, "LCF Ref 1 Fraction");
  ASSERT_EQ(first.dims, (std::vector<hsize_t>{ 2, 3 }));
  EXPECT_CLOSE(first.values[1], 0.25);
  EXPECT_CLOSE(first.values[5], 0.75);
  EXPECT_EQ(first.area, (std::vector<int>{ 1, 0, 3, 2 }));
  ASSERT_TRUE(readBack(file + ".h5", "/maps/map_001", second));
  EXPECT_EQ(second.name, "a2d Zansa");
  EXPECT_CLOSE(second.values[4], 5.0);
  EXPECT_FALSE(readBack(file + ".h5", "/maps/map_002", none));

  // A file that cannot be written says so.
  const QString missing = lctest::scratchDir("MapHdf5Fail") + QStringLiteral("/no/such/dir/m.h5");
  EXPECT_FALSE(writeMapsHdf5(missing, { &fraction }));
  EXPECT_TRUE(log.has(QStringLiteral("Can't write %1").arg(missing)));
  EXPECT_EQ(hdf5MapFileName(QStringLiteral("/x/maps.hdf")), QStringLiteral("/x/maps.hdf"));
}
