#include "output/SpectraSaveRun.h"

#include "analysis/PointRun.h"
#include "analysis/PointSpectra.h"

#include "GeneratedStack.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

namespace {

constexpr int kW = 64;
constexpr int kH = 48;

QString scratch()
{
  return lctest::scratchDir(QStringLiteral("SpectraSave"));
}

// One generated stack shared by the tests of this file (reading it is the
// slow part).
const GeneratedStack& stack()
{
  static const GeneratedStack s(kW, kH, 24);
  return s;
}

SpectraSaveSetup setupFor(const QString& file,
                          SpectraFormat format,
                          const QRectF& region,
                          int hw,
                          int hh,
                          const EnergyShiftView& shifts = EnergyShiftView())
{
  SpectraSaveSetup s;
  s.fileName = file;
  s.format = format;
  s.grid = SpectraScanGrid::from(kW, kH, hw, hh, region);
  s.spectra = PointSpectra(stack().view(), 1, -1.0, shifts, QStringLiteral("Body-SaveEach"));
  return s;
}

// Runs one save to its end; the number of `ended` signals and the last
// one's value come back through the pointers.
bool save(const SpectraSaveSetup& s, int threads = 0, int tile = 0, int* ends = nullptr)
{
  SpectraSaveRun run;
  run.engine().setThreadCount(threads);
  run.engine().setTilePoints(tile);
  QSignalSpy ended(&run, &SpectraSaveRun::ended);
  run.start(&s);
  run.engine().waitForEnd();
  if (ends)
    *ends = ended.count();
  return ended.count() == 1 && ended.first().first().toBool();
}

QStringList lines(const QString& file)
{
  QString text = QString::fromLatin1(lctest::readFile(file));
  QStringList l = text.split(QLatin1Char('\n'));
  if (!l.isEmpty() && l.last().isEmpty())
    l.removeLast();
  return l;
}

QVector<double> numbers(const QString& line)
{
  QVector<double> v;
  for (const QString& item : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    v.append(item.toDouble());
  return v;
}

// The numbers of a block line against a spectrum's (x, y) points, to the
// six digits the file keeps.
void expectPoints(const QVector<double>& got, int skip, const QVector<QPointF>& want)
{
  ASSERT_EQ(got.size(), skip + 2 * want.size());
  for (int i = 0; i < want.size(); ++i) {
    EXPECT_TRUE(lctest::nearRel(got[skip + 2 * i], want[i].x(), 1e-5)) << "energy " << i;
    EXPECT_TRUE(
      lctest::near(got[skip + 2 * i + 1], want[i].y(), 1e-5 * std::fabs(want[i].y()) + 1e-300))
      << "value " << i;
  }
}

} // namespace

TEST(SpectraScanGrid, WorkedExampleCountsAndHeader)
{
  const SpectraScanGrid g = SpectraScanGrid::from(kW, kH, 2, 1, QRectF(0, 0, 100, 50));
  EXPECT_EQ(g.dX(), 5);
  EXPECT_EQ(g.dY(), 3);
  EXPECT_EQ(g.nx(), 20);
  EXPECT_EQ(g.ny(), 17);
  EXPECT_EQ(g.blocks(), 20 * 17);
  EXPECT_EQ(QString::fromLatin1(spectraHeader(SpectraFormat::RawXafs, g)),
            QStringLiteral("# Lumacresta Save Raw Xafs Spectra 1.0\n"
                           "# X-Range (x0, x1), steps : 0 100 20\n"
                           "# Y-Range (y0, y1), steps : 0 50 17\n"
                           "# Full Width, Height      : 64 48\n"
                           "# Bin Half Width, Height  : 2 1\n"
                           "# Step dX, dY             : 5 3\n"
                           "# End of Header\n"));
  // Extents truncated and put in order; a negative half width steps by 1.
  const SpectraScanGrid s = SpectraScanGrid::from(kW, kH, -3, 0, QRectF(30.7, 20.9, -10.5, -5.2));
  EXPECT_EQ(s.x0, 20);
  EXPECT_EQ(s.x1, 30);
  EXPECT_EQ(s.y0, 15);
  EXPECT_EQ(s.y1, 20);
  EXPECT_EQ(s.dX(), 1);
  EXPECT_EQ(s.blocks(), 10 * 5);
}

TEST(SpectraScanGrid, FileNameGetsDatOnlyWithoutExtensionAndNumbersAsPrintfG)
{
  EXPECT_EQ(spectraFileName(QStringLiteral("maps/a")),
            QDir::current().absoluteFilePath("maps/a.dat"));
  EXPECT_EQ(spectraFileName(QStringLiteral("maps/a.txt")),
            QDir::current().absoluteFilePath("maps/a.txt"));
  EXPECT_EQ(spectraFileName(QStringLiteral("/tmp/x.y/b")), QStringLiteral("/tmp/x.y/b.dat"));

  // Numbers as printf's %g writes them.
  const double values[] = { 0.0, 8979.5, 1.0 / 3.0, -1.5e-7, 123456789.0, 2.5 };
  for (double v : values) {
    QByteArray b;
    appendNumberG(b, v);
    EXPECT_EQ(b, QByteArray(QString::asprintf("%g", v).toLatin1())) << v;
  }
  QByteArray b;
  appendNumberG(b, std::nan(""));
  EXPECT_EQ(b, QByteArray("nan"));
}

TEST(SpectraSave, WorkedExampleRegionPastTheStack)
{
  ASSERT_TRUE(stack().ok());
  // 0..100 x 0..50 on a 64 x 48 stack: blocks past the stack keep their
  // coordinates and s only.
  const QString file = scratch() + QStringLiteral("/grid");
  ASSERT_TRUE(save(setupFor(file, SpectraFormat::RawXafs, QRectF(0, 0, 100, 50), 2, 1)));
  const QStringList l = lines(file + QStringLiteral(".dat"));
  ASSERT_EQ(l.size(), 7 + 20 * 17);
  EXPECT_EQ(l[1], QStringLiteral("# X-Range (x0, x1), steps : 0 100 20"));
  EXPECT_TRUE(l[7].startsWith(QStringLiteral("2 1 0 ")));
  // Row 0, column 13: cx = 67 lies past the stack's 64 columns.
  EXPECT_EQ(l[7 + 13], QStringLiteral("67 1 0"));
  // Last row: cy = 1 + 16 * 3 = 49, past the 48 rows.
  EXPECT_EQ(l.last(), QStringLiteral("97 49 0"));
  EXPECT_EQ(numbers(l[7 + 12]).size(), 3 + 2 * 24); // cx = 62 is inside
}

TEST(SpectraSave, EveryLineIsTheOnePointSpectrum)
{
  ASSERT_TRUE(stack().ok());
  const QRectF region(5, 7, 23, 9);
  const QString dir = scratch();
  for (SpectraFormat f :
       { SpectraFormat::NormalizedXafs, SpectraFormat::RawXafs, SpectraFormat::Raw }) {
    const QString file = dir + QStringLiteral("/f%1.dat").arg(int(f));
    const SpectraSaveSetup s = setupFor(file, f, region, 1, 2);
    ASSERT_TRUE(save(s));
    const QStringList l = lines(file);
    ASSERT_EQ(l.size(), 7 + s.grid.blocks());
    AnalyzeCond c = s.grid.cond();
    int row = 7;
    do {
      const QVector<double> got = numbers(l[row++]);
      ASSERT_GE(got.size(), 2);
      EXPECT_EQ(int(got[0]), c.cx);
      EXPECT_EQ(int(got[1]), c.cy);
      if (f == SpectraFormat::Raw) {
        expectPoints(got, 2, rawSpectrumAt(stack().view(), c.cx, c.cy, 1, 2).points);
        continue;
      }
      EXPECT_TRUE(lctest::near(got[2], 0.0));
      if (f == SpectraFormat::RawXafs) {
        expectPoints(got, 3, spectrumAt(stack().view(), c.cx, c.cy, 1, 2).points);
        continue;
      }
      const XafsSpectrum x = s.spectra.at(c.cx, c.cy, 1, 2);
      QVector<QPointF> want;
      for (int i = 0; i < x.size(); ++i)
        want.append(QPointF(x.energy(i), x.normalized.value(i)));
      expectPoints(got, 3, want);
    } while (c.next());
  }
}

TEST(SpectraSave, ShiftMapGivesSAndShiftsTheEnergies)
{
  ASSERT_TRUE(stack().ok());
  EnergyShiftView shifts;
  shifts.width = kW;
  shifts.height = kH;
  shifts.area = QRect(0, 0, 20, kH); // the map covers the left part only
  shifts.values = QVector<double>(kW * kH, 2.5);
  const QString dir = scratch();
  const QRectF region(10, 10, 20, 1);
  ASSERT_TRUE(save(setupFor(dir + "/plain.dat", SpectraFormat::NormalizedXafs, region, 2, 0)));
  ASSERT_TRUE(
    save(setupFor(dir + "/shift.dat", SpectraFormat::NormalizedXafs, region, 2, 0, shifts)));
  const QStringList plain = lines(dir + "/plain.dat");
  const QStringList shifted = lines(dir + "/shift.dat");
  ASSERT_EQ(plain.size(), 7 + 4);
  ASSERT_EQ(shifted.size(), plain.size());
  // Blocks at cx 12 and 17 lie on the map, 22 and 27 do not.
  for (int b = 0; b < 4; ++b) {
    const QVector<double> p = numbers(plain[7 + b]);
    const QVector<double> s = numbers(shifted[7 + b]);
    ASSERT_EQ(p.size(), s.size());
    const double shift = b < 2 ? 2.5 : 0.0;
    EXPECT_TRUE(lctest::near(s[2], shift)) << "block " << b;
    for (int i = 3; i < p.size(); i += 2)
      EXPECT_TRUE(lctest::near(s[i], p[i] - shift, 0.011)) << "block " << b << " item " << i;
  }
}

TEST(SpectraSave, EmptyRegionsWriteTheFirstBlockAndProgressByRows)
{
  ASSERT_TRUE(stack().ok());
  const QString file = scratch() + "/empty.dat";
  ASSERT_TRUE(save(setupFor(file, SpectraFormat::Raw, QRectF(10, 10, 0, 0), 2, 1)));
  const QStringList l = lines(file);
  ASSERT_EQ(l.size(), 8);
  EXPECT_EQ(l[1], QStringLiteral("# X-Range (x0, x1), steps : 10 10 1"));
  EXPECT_TRUE(l[7].startsWith(QStringLiteral("12 11 ")));
  EXPECT_EQ(numbers(l[7]).size(), 2 + 2 * 24);

  // The progress of a region without height is a hundred at once.
  lctest::MessageCapture log;
  ASSERT_TRUE(
    save(setupFor(scratch() + "/flat.dat", SpectraFormat::Raw, QRectF(0, 5, 30, 0), 1, 1)));
  EXPECT_TRUE(log.has(QStringLiteral("Save Xafs Spectra : Progress 100")));
  EXPECT_EQ(log.count(QStringLiteral("Save Xafs Spectra : Progress")), 1);
  log.clear();
  ASSERT_TRUE(
    save(setupFor(scratch() + "/rows.dat", SpectraFormat::Raw, QRectF(0, 0, 30, 9), 1, 1)));
  EXPECT_EQ(log.count(QStringLiteral("Save Xafs Spectra : Progress")), 3);
  EXPECT_TRUE(log.has(QStringLiteral("Save Xafs Spectra : Progress 11.1111")));
  EXPECT_TRUE(log.has(QStringLiteral("Save Xafs Spectra : Progress 77.7778")));
}

TEST(SpectraSave, BytesDoNotDependOnThreadsOrTiles)
{
  ASSERT_TRUE(stack().ok());
  const QString dir = scratch();
  const QRectF region(-7, 3, 80, 40); // inside and outside blocks
  QByteArray first;
  int k = 0;
  for (const auto& [threads, tile] :
       { std::pair{ 1, 0 }, std::pair{ 2, 0 }, std::pair{ 2, 1 }, std::pair{ 3, 7 } }) {
    const QString file = dir + QStringLiteral("/t%1.dat").arg(k++);
    ASSERT_TRUE(save(setupFor(file, SpectraFormat::NormalizedXafs, region, 1, 1), threads, tile));
    const QByteArray bytes = lctest::readFile(file);
    if (first.isEmpty())
      first = bytes;
    EXPECT_TRUE(bytes == first) << threads << " threads, tile " << tile;
  }
  EXPECT_GT(first.size(), 10000);
}

TEST(SpectraSave, FailuresEndOnceAndLeaveNoFile)
{
  ASSERT_TRUE(stack().ok());
  const QString dir = scratch();
  lctest::MessageCapture log;
  int ends = 0;

  // No image: nothing written, no file made.
  {
    SpectraSaveRun run;
    QSignalSpy ended(&run, &SpectraSaveRun::ended);
    EXPECT_FALSE(run.start(nullptr));
    EXPECT_EQ(ended.count(), 1);
  }

  // A folder that does not exist.
  const QString missing = dir + "/no/such/folder/x.dat";
  EXPECT_FALSE(
    save(setupFor(missing, SpectraFormat::Raw, QRectF(0, 0, 10, 10), 1, 1), 0, 0, &ends));
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(log.has(QStringLiteral("Can't open ") + missing));
  EXPECT_FALSE(QFile::exists(missing));

  // The folder removed half-way: no half file, the failure named.
  const QString sub = dir + "/gone";
  ASSERT_TRUE(QDir().mkpath(sub));
  const SpectraSaveSetup s =
    setupFor(sub + "/x.dat", SpectraFormat::NormalizedXafs, QRectF(0, 0, 64, 48), 0, 0);
  {
    SpectraSaveRun run;
    QSignalSpy ended(&run, &SpectraSaveRun::ended);
    ASSERT_TRUE(run.start(&s));
    ASSERT_TRUE(QDir(sub).removeRecursively());
    run.engine().waitForEnd();
    ASSERT_EQ(ended.count(), 1);
    EXPECT_FALSE(ended.first().first().toBool());
  }
  EXPECT_TRUE(log.has(QStringLiteral("Can't write ") + sub + "/x.dat"));
  EXPECT_FALSE(QFile::exists(sub + "/x.dat"));

  // Stopped: the file that was there stays as it was.
  const QString kept = lctest::writeFile(dir + "/kept.dat", "old\n");
  const SpectraSaveSetup k = setupFor(kept, SpectraFormat::Raw, QRectF(0, 0, 64, 48), 0, 0);
  {
    SpectraSaveRun run;
    QSignalSpy ended(&run, &SpectraSaveRun::ended);
    ASSERT_TRUE(run.start(&k));
    run.stop();
    run.stop();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(run.isRunning());
  }
  EXPECT_EQ(lctest::readFile(kept), QByteArray("old\n"));
}
