#include "output/MapFiles.h"
#include "output/MapGrid.h"

#include "analysis/Analyzed2DRes.h"
#include "input/TiffData.h"
#include "support/Maps.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using lctest::readFile;

TEST(MapFiles, NamesGetTheIndexBeforeTheExtensionAndTextLayouts)
{
  // On this system "C:/out" is a relative folder: it becomes absolute.
  const auto inOut = [](const char* name) {
    return QFileInfo(QString("C:/out/") + name).absoluteFilePath();
  };
  EXPECT_EQ(numberedFileName("C:/out/map.tif", 2, "tif"), inOut("map-2.tif"));
  EXPECT_EQ(numberedFileName("C:/out/map.tif", 2, "dat"), inOut("map-2.dat"));
  EXPECT_EQ(insertIntoFileName("C:/out/map.tif", "2"), inOut("map-2.tif"));
  EXPECT_EQ(insertIntoFileName(inOut("map-2.tif"), "cBar"), inOut("map-2-cBar.tif"));
  // Only the last suffix is the extension.
  EXPECT_EQ(numberedFileName("/d/a.b.tif", 0, "dat"), QString("/d/a.b-0.dat"));

  // Text layouts: separator and values with or without coordinates.
  const MapRows rows = { { { 1, 2, 0.5 }, { 4, 2, 1234567.0 } }, { { 1, 5, -1e-7 }, { 4, 5, 3 } } };
  EXPECT_EQ(mapText(rows, { true, true }),
            QByteArray("1,2,0.5\n4,2,1.23457e+06\n1,5,-1e-07\n4,5,3\n"));
  EXPECT_EQ(mapText(rows, { false, true }).left(8), QByteArray("1 2 0.5\n"));
  EXPECT_EQ(mapText(rows, { true, false }), QByteArray("0.5,1.23457e+06\n-1e-07,3\n"));
  EXPECT_TRUE(mapText({}, { false, false }).isEmpty());
}

TEST(MapGrid, HundredByTwentyMapGivesSevenRowsOfThirtyThree)
{
  Analyzed2DRes map;
  lctest::fillMap(
    map, 100, 20, [](int x, int y) { return x + 1000.0 * y; }, 1);
  const MapRows rows = mapGridRows(map);
  // Centres 1, 4, ..., 97 across and 1, 4, ..., 19 down.
  ASSERT_EQ(rows.size(), 7);
  for (int j = 0; j < 7; ++j) {
    ASSERT_EQ(rows[j].size(), 33) << "row " << j;
    EXPECT_EQ(rows[j][5].x, 16);
    EXPECT_CLOSE(rows[j][5].value, 16 + 1000 * (1 + 3 * j));
  }
}

TEST(MapGrid, SixteenBitSamplesScaleClampAndRound)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const QVector<double> values = { 0.0, 1.0, 0.5, 2.0, -1.0, nan, 0.25, inf };
  Analyzed2DRes map;
  lctest::fillMap(map, 4, values);
  MapSamples16 s = tiffDataForSave(map, true, 0.0, 1.0, false);
  EXPECT_EQ(s.values, (QVector<quint16>{ 0, 65535, 32768, 65535, 0, 0, 16384, 0 }));
  // An empty scale (equal limits) gives 0 everywhere.
  s = tiffDataForSave(map, true, 1.0, 1.0, false);
  EXPECT_EQ(s.values.count(0), 8);

  // One sample per raster point, on the map's own range.
  Analyzed2DRes binned;
  binned.reset(lctest::wholeArea(9, 3, 1));
  binned.setData(1, 1, 1, 1, 1.0);
  binned.setData(4, 1, 1, 1, 3.0);
  binned.setData(7, 1, 1, 1, 2.0);
  s = tiffDataForSave(binned, false, 0, 0, true);
  EXPECT_EQ(QSize(s.width, s.height), QSize(3, 1));
  EXPECT_EQ(s.values, (QVector<quint16>{ 0, 65535, 32768 }));
  EXPECT_CLOSE(s.scaleMax, 3.0);

  // A selection dragged wholly past the image leaves one point off it: the
  // saver writes it as 0 instead of reading outside the map.
  Analyzed2DRes off;
  off.reset(lctest::area(4, 4, 1, 1, 50, 50, 10, 10));
  EXPECT_EQ(tiffDataForSave(off, true, 0.0, 1.0, true).values, QVector<quint16>{ 0 });
}

TEST(MapFiles, TiffReadsBackSampleForSampleAndFailedSavesKeepTheOldFile)
{
  const QTemporaryDir dir;
  const QString path = dir.filePath("m.tif");
  const QVector<quint16> v = { 0, 1, 65535, 300, 42, 7 };
  ASSERT_TRUE(writeMapTiff(path, 3, 2, v));
  TiffData t;
  ASSERT_TRUE(t.read(path));
  ASSERT_EQ(t.width, 3u);
  ASSERT_EQ(t.height, 2u);
  for (int i = 0; i < v.size(); ++i)
    EXPECT_CLOSE(t.value(i % 3, i / 3), v[i]);

  // A failed save keeps the old file and says so.
  const QString old = dir.filePath("map.dat");
  ASSERT_TRUE(saveBytes(old, "good\n"));
  lctest::MessageCapture log;
  // A folder that does not exist: nothing can be written there.
  const QString bad = dir.filePath("missing/map.dat");
  EXPECT_FALSE(writeMapText(bad, MapRows(1, { { 1, 1, 0.5 } }), {}));
  EXPECT_TRUE(log.has("Can't open " + bad));
  EXPECT_FALSE(writeMapTiff(bad, 1, 1, { 7 }));
  // Values that do not fill the size are refused before anything is opened.
  EXPECT_FALSE(writeMapTiff(old, 2, 2, { 1, 2, 3 }));
  EXPECT_EQ(readFile(old), QByteArray("good\n"));
}

TEST(MapFiles, FlatAndDarkAreTiffOfTheStackSize)
{
  const QTemporaryDir dir;
  ASSERT_TRUE(writeFlatDark(dir.path(), 5, 4));
  for (const auto& [name, value] : { std::pair{ "flat.dat", 1 }, { "dark.dat", 0 } }) {
    TiffData t;
    ASSERT_TRUE(t.readTiff(QDir(dir.path()).filePath(name))) << name;
    EXPECT_EQ(t.width, 5u);
    EXPECT_EQ(t.height, 4u);
    EXPECT_CLOSE(t.value(4, 3), value);
  }
  // Without a stack nothing is written.
  const QTemporaryDir empty;
  lctest::MessageCapture log;
  EXPECT_FALSE(writeFlatDark(empty.path(), 0, 0));
  EXPECT_TRUE(log.has("No stack loaded: flat.dat and dark.dat not written"));
  EXPECT_TRUE(QDir(empty.path()).entryList(QDir::Files).isEmpty());
}

TEST(MapFiles, PicturesFollowTheSuffix)
{
  const QTemporaryDir dir;
  QImage img(4, 3, QImage::Format_RGB32);
  img.fill(QColor(200, 30, 10));
  ASSERT_TRUE(saveImageFile(img, dir.filePath("bar.png")));
  // TIFF pictures (the colour bar beside a TIFF map) need no image plug-in.
  ASSERT_TRUE(saveImageFile(img, dir.filePath("bar.tif")));
  const QByteArray tif = readFile(dir.filePath("bar.tif"));
  EXPECT_TRUE(tif.startsWith("II*") || tif.startsWith("MM"));
  lctest::MessageCapture log;
  EXPECT_FALSE(saveImageFile(QImage(), dir.filePath("none.png")));
  EXPECT_TRUE(log.has("Can't save image " + dir.filePath("none.png")));
}
