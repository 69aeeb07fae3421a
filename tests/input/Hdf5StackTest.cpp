#include "input/Hdf5Stack.h"
#include "input/TiffData.h"
#include "stack/StackSpectra.h"

#include "Hdf5Writer.h"
#include "StackGen.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace stackgen;

namespace {

struct TiffStack
{
  std::vector<std::unique_ptr<TiffData>> i1;
  std::vector<std::unique_ptr<TiffData>> i0;
  TiffData dark;
};

bool readTiffs(const StackTruth& t, TiffStack& s)
{
  for (int k = 0; k < t.i1Files.size(); ++k) {
    s.i1.push_back(std::make_unique<TiffData>());
    s.i0.push_back(std::make_unique<TiffData>());
    if (!s.i1.back()->read(t.i1Files[k]) || !s.i0.back()->read(t.i0Files[k]))
      return false;
    s.i1.back()->energy = s.i0.back()->energy = t.energies[k];
  }
  return s.dark.read(t.darkFile);
}

StackView viewOf(const std::vector<std::unique_ptr<TiffData>>& i1,
                 const std::vector<std::unique_ptr<TiffData>>& i0,
                 const TiffData* dark)
{
  StackView v;
  for (const auto& f : i1)
    v.i1.append(f.get());
  for (const auto& f : i0)
    v.i0.append(f.get());
  v.dark = dark;
  v.width = int(i1.front()->width);
  v.height = int(i1.front()->height);
  v.useI0 = true;
  return v;
}

Hdf5Item frames(const QString& path, int n, int h, int w, double value = 100.0)
{
  Hdf5Item it{ path, { qulonglong(n), qulonglong(h), qulonglong(w) }, {}, Hdf5Item::U16 };
  it.values = QVector<double>(n * h * w, value);
  return it;
}

Hdf5Item energies(const QString& path, QVector<double> e)
{
  return Hdf5Item{ path, { qulonglong(e.size()) }, e, Hdf5Item::F64 };
}

} // namespace

TEST(Hdf5Stack, SameStackAsTheTiffFiles)
{
  StackSpec plan;
  plan.width = 12;
  plan.height = 9;
  const QString dir = lctest::scratchDir("hdf5_same");
  const StackTruth t = generateStack(plan, dir, Format::Tiff);
  ASSERT_TRUE(t.ok);
  const QString h5 = dir + "/stack.h5";
  ASSERT_TRUE(writeHdf5Stack(t, h5, true));
  TiffStack tiffs;
  ASSERT_TRUE(readTiffs(t, tiffs));

  lctest::MessageCapture log;
  Hdf5Stack s;
  ASSERT_TRUE(readHdf5Stack(h5, Hdf5StackNames(), s));
  EXPECT_TRUE(log.has("HDF5 energies of /exchange/energy taken as keV"));
  ASSERT_EQ(s.i1.size(), tiffs.i1.size());
  ASSERT_EQ(s.i0.size(), tiffs.i0.size());
  ASSERT_TRUE(s.dark);
  for (size_t k = 0; k < s.i1.size(); ++k) {
    EXPECT_CLOSE(s.i1[k]->energy, tiffs.i1[k]->energy, 1e-9);
    EXPECT_EQ(s.i1[k]->pixelType, int(TiffData::Tiff16));
    EXPECT_CLOSE(s.i1[k]->maxValue, tiffs.i1[k]->maxValue, 0.0);
  }
  // Spectra of single pixels and of boxes over the edges are the same.
  const StackSampler fromTiff(viewOf(tiffs.i1, tiffs.i0, &tiffs.dark));
  const StackSampler fromH5(viewOf(s.i1, s.i0, s.dark.get()));
  SpectrumPoints a, b;
  QVector<double> work;
  for (const QPoint p : { QPoint(0, 0), QPoint(5, 4), QPoint(11, 8) })
    for (int bin : { 0, 2 }) {
      fromTiff.spectrumAt(p.x(), p.y(), bin, bin, a, work);
      fromH5.spectrumAt(p.x(), p.y(), bin, bin, b, work);
      ASSERT_EQ(a.size(), b.size());
      ASSERT_GT(a.size(), 0);
      for (int i = 0; i < a.size(); ++i) {
        EXPECT_CLOSE(a.x(i), b.x(i), 1e-9);
        EXPECT_CLOSE(a.y(i), b.y(i), 0.0);
      }
    }
}

TEST(Hdf5Stack, NamedDatasetsOneFlatAndAveragedDark)
{
  const QString h5 = lctest::scratchDir("hdf5_named") + "/named.h5";
  Hdf5Item dark = frames("/dark", 2, 3, 4, 10.0);
  for (int i = 12; i < 24; ++i)
    dark.values[i] = 20.0; // second frame: the average is 15
  Hdf5Item data = frames("/scan/i1", 3, 3, 4, 500.0);
  data.type = Hdf5Item::F32;
  data.values[5] = std::numeric_limits<double>::quiet_NaN();
  ASSERT_TRUE(writeHdf5(
    h5,
    { data, frames("/scan/white", 1, 3, 4, 1000.0), dark, energies("/e", { 8900, 9000, 9100 }) }));
  Hdf5Stack s;
  Hdf5StackNames names;
  names.data = "/scan/i1";
  names.flat = "/scan/white";
  names.energy = "/e";
  ASSERT_TRUE(readHdf5Stack(h5, names, s));
  ASSERT_EQ(s.i1.size(), 3u);
  EXPECT_EQ(s.i1[0]->pixelType, int(TiffData::VrskFloat));
  EXPECT_CLOSE(s.i1[0]->value(1, 1), 0.0, 0.0); // the NaN is stored as 0
  EXPECT_CLOSE(s.i1[2]->energy, 9100.0, 0.0);
  ASSERT_EQ(s.i0.size(), 1u);
  EXPECT_CLOSE(s.i0[0]->value(3, 2), 1000.0, 0.0);
  ASSERT_TRUE(s.dark);
  EXPECT_CLOSE(s.dark->value(2, 1), 15.0, 0.0);
}

TEST(Hdf5Stack, UntrustedFilesChangeNothing)
{
  const QString dir = lctest::scratchDir("hdf5_bad");
  const QString text = lctest::writeFile(dir + "/text.h5", "not an hdf5 file\n");
  const QString noData = dir + "/nodata.h5";
  const QString flat = dir + "/flat.h5";
  const QString rank = dir + "/rank.h5";
  const QString shortE = dir + "/short.h5";
  const QString flats = dir + "/flats.h5";
  const QString huge = dir + "/huge.h5";
  const QString good = dir + "/good.h5";
  const QString falling = dir + "/falling.h5";
  ASSERT_TRUE(
    writeHdf5(falling, { frames("/data", 3, 3, 4), energies("/energy", { 9060, 9000, 8940 }) }));
  ASSERT_TRUE(writeHdf5(good, { frames("/data", 2, 3, 4), energies("/energy", { 8, 9 }) }));
  ASSERT_TRUE(writeHdf5(noData, { energies("/exchange/energy", { 1, 2 }) }));
  Hdf5Item plane{ "/data", { 3, 4 }, QVector<double>(12, 1.0), Hdf5Item::U16 };
  ASSERT_TRUE(writeHdf5(rank, { plane, energies("/energy", { 9000 }) }));
  ASSERT_TRUE(writeHdf5(shortE, { frames("/data", 3, 3, 4), energies("/energy", { 1, 2 }) }));
  ASSERT_TRUE(writeHdf5(
    flats,
    { frames("/data", 3, 3, 4), frames("/flat", 2, 3, 4), energies("/energy", { 8, 9, 10 }) }));
  ASSERT_TRUE(writeHdf5(
    flat, { frames("/data", 2, 3, 4), frames("/flat", 1, 4, 4), energies("/energy", { 8, 9 }) }));
  // Announces 100000 frames of 4096 x 4096 but stores none of them.
  ASSERT_TRUE(writeHdf5(huge,
                        { Hdf5Item{ "/data", { 100000, 4096, 4096 }, {}, Hdf5Item::U16 },
                          energies("/energy", QVector<double>(100000, 9000.0)) }));

  Hdf5StackNames named;
  named.dark = "/nothing/here";
  const struct
  {
    QString file;
    Hdf5StackNames names;
    QString line;
  } cases[] = {
    { text, {}, "Not an HDF5 file : " + text },
    { dir + "/absent.h5", {}, "Can not open HDF5 file : " + dir + "/absent.h5" },
    { noData, {}, "HDF5 data dataset (default names) not found : " + noData },
    { rank, {}, "HDF5 dataset /data has rank 2, not 3 : " + rank },
    { shortE, {}, "HDF5 energy list /energy has 2 values for 3 frames : " + shortE },
    { flats, {}, "HDF5 flats /flat are 2 frames for 3 energies : " + flats },
    { flat, {}, "HDF5 dataset /flat has frames of 4 x 4, not 4 x 3 : " + flat },
    { good, named, "HDF5 dark dataset /nothing/here not found : " + good },
    { huge, {}, "HDF5 dataset /data is too large for what the file holds : " + huge },
    { falling,
      {},
      "HDF5 energy list /energy is not strictly increasing (energy 1 is not above the one "
      "before) : " +
        falling },
  };
  for (const auto& c : cases) {
    Hdf5Stack s;
    s.energies = { 42.0 };
    lctest::MessageCapture log;
    EXPECT_FALSE(readHdf5Stack(c.file, c.names, s)) << c.line.toStdString();
    EXPECT_EQ(log.messages().join("|").toStdString(), c.line.toStdString());
    EXPECT_EQ(s.energies.size(), 1);
    EXPECT_TRUE(s.i1.empty());
    // A caller that says the reason itself gets the same line instead.
    QString why;
    log.clear();
    EXPECT_FALSE(readHdf5Stack(c.file, c.names, s, &why));
    EXPECT_EQ(why.toStdString(), c.line.toStdString());
    EXPECT_TRUE(log.messages().isEmpty());
  }
}
