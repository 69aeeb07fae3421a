// Every refused frame leaves exactly one debug line naming its file, and
// the inputs that made the readers allocate far beyond the file (found
// while fuzzing) stay cheap.
#include "app/ParamRegistry.h"
#include "input/EnergyAssignment.h"
#include "input/TiffData.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"
#include "stack/StackSpectra.h"

#include "StackGen.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace {

using lctest::readFile;
using lctest::writeFile;

QString reproducer(const char* name)
{
  return QStringLiteral(LC_SOURCE_DIR "/tests/data/fuzz/") + name;
}

// Resident memory of this process in MB (Linux).
double residentMb()
{
  QFile f("/proc/self/statm");
  if (!f.open(QIODevice::ReadOnly))
    return 0.0;
  const QList<QByteArray> fields = f.readAll().split(' ');
  return fields.size() > 1 ? fields.at(1).toDouble() * 4096.0 / (1 << 20) : 0.0;
}

// Peak resident memory in MB since the last resetPeak (Linux).
double peakMb()
{
  QFile f("/proc/self/status");
  if (!f.open(QIODevice::ReadOnly))
    return 0.0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  return 0.0;
}

bool resetPeak()
{
  QFile f("/proc/self/clear_refs");
  return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

} // namespace

// A frame costs its pixels once: the file is read, not mapped, so its pages
// do not count a second time while the frame is filled.
TEST(Refusals, ReadingAFrameCostsItsPixelsOnce)
{
  const QDir dir(lctest::scratchDir("refusals_peak"));
  const int w = 4096, h = 4096; // 32 MiB of 16-bit pixels
  const QString path = dir.filePath("large.tif");
  ASSERT_TRUE(stackgen::writeFrame(path, stackgen::Format::Tiff, w, h, stackgen::Counts(w * h, 9)));
  if (!resetPeak())
    GTEST_SKIP() << "no /proc/self/clear_refs to reset the peak resident size";
  const double before = peakMb();
  TiffData d;
  ASSERT_TRUE(d.read(path));
  EXPECT_LT(peakMb() - before, 32.0 * 1.5);
  EXPECT_GT(residentMb() - before, 32.0 * 0.9);
}

TEST(Refusals, EveryRefusedFrameGivesOneLineWithItsName)
{
  const QDir dir(lctest::scratchDir("refusals"));
  const QString text =
    writeFile(dir.filePath("notes.tif"), "measured on Tuesday, beam was unstable\n");
  const QString whole = dir.filePath("whole.tif");
  ASSERT_TRUE(stackgen::writeFrame(whole, stackgen::Format::Tiff, 6, 5, stackgen::Counts(30, 7)));
  // Cut inside the directory: libtiff complains twice on its own.
  const QString cut =
    writeFile(dir.filePath("cut.tif"), readFile(whole).left(readFile(whole).size() - 20));
  const QString header = writeFile(dir.filePath("header.tif"), readFile(whole).left(16));
  for (const QString& path : { text, cut, header }) {
    SCOPED_TRACE(path.toStdString());
    lctest::MessageCapture log;
    TiffData d;
    EXPECT_FALSE(d.read(path));
    ASSERT_EQ(log.messages().size(), 1) << log.messages().join('\n').toStdString();
    EXPECT_TRUE(log.messages().first().endsWith(" : " + path));
    EXPECT_FALSE(log.contains("libtiff:"));
  }
  lctest::MessageCapture log;
  TiffData d;
  d.read(text);
  EXPECT_TRUE(log.has("Unknown image format : " + text));
  d.read(header);
  EXPECT_TRUE(log.messages().last().startsWith("Can not read TIFF ("));
  EXPECT_FALSE(d.read(dir.filePath("absent.tif")));
  EXPECT_TRUE(log.has("Can not open (1) " + dir.filePath("absent.tif")));
}

// 33 KB of strips that all point at one deflated row of zeros claimed the
// largest frame: the reader allocated and scanned half a GiB.
TEST(Refusals, CompressedTiffCannotClaimMoreThanItsDataCanHold)
{
  const QString path = reproducer("deflate_shared_strips.tif");
  ASSERT_TRUE(QFile::exists(path));
  lctest::MessageCapture log;
  TiffData d;
  EXPECT_FALSE(d.read(path));
  EXPECT_TRUE(log.has("TIFF size 65535 x 4096 exceeds the file : " + path));
  EXPECT_TRUE(d.isEmpty());

  // A real deflated frame still reads.
  const QString corpus = QStringLiteral(LC_SOURCE_DIR "/tests/fuzz/corpus/fuzz_tiff/deflate.tif");
  ASSERT_TRUE(d.read(corpus));
  EXPECT_EQ(d.width, 8u);
  EXPECT_EQ(d.height, 6u);
  EXPECT_CLOSE(d.value(1, 1), 37.0 + 1013.0);
}

// A header alone announced 65535 x 4096 float rows (1 GiB, zero-filled);
// missing rows still read as 0, but only rows that hold data are stored.
TEST(Refusals, VrskRowsAreStoredOnlyAsDataArrives)
{
  const QString path = reproducer("vrsk_header_only.dat");
  const double before = residentMb();
  TiffData d;
  ASSERT_TRUE(d.read(path));
  EXPECT_LT(residentMb() - before, 64.0);
  EXPECT_EQ(d.width, 65535u);
  EXPECT_EQ(d.height, 4096u);
  EXPECT_CLOSE(d.value(65534, 4095), 0.0);
  EXPECT_CLOSE(d.sample(100, 100, 2, 2), 0.0);
  EXPECT_NE(d.row(4095), nullptr);
  EXPECT_EQ(d.row(4096), nullptr);
  EXPECT_CLOSE(d.minValue, 0.0);
  EXPECT_CLOSE(d.maxValue, 0.0);
  // Shown, it cost a picture of the claimed size (268 MB): refused instead.
  {
    lctest::MessageCapture log;
    EXPECT_FALSE(d.render(ColorMapping()));
    EXPECT_TRUE(d.displayImage.isNull());
    EXPECT_LT(residentMb() - before, 64.0);
    EXPECT_TRUE(log.has("Picture not drawn: the file holds 0 of the 65535 x 4096 rows its "
                        "header announces : " +
                        path));
  }

  // Data for one and a half rows: the rest of row 1 and every later row 0.
  const QDir dir(lctest::scratchDir("refusals_vrsk"));
  QByteArray text = "#VRSK-CTImg\n# RANGE_X0 0\n# RANGE_X1 4\n# RANGE_Y0 0\n# RANGE_Y1 3\n";
  for (int i = 0; i < 6; ++i)
    text += QByteArray::number(i % 4) + " " + QByteArray::number(i / 4) + " 0.01\n";
  const QString part = writeFile(dir.filePath("part.dat"), text);
  TiffData p;
  ASSERT_TRUE(p.read(part));
  EXPECT_CLOSE(p.value(3, 0), 5.0);
  EXPECT_CLOSE(p.value(1, 1), 5.0);
  EXPECT_CLOSE(p.value(2, 1), 0.0);
  EXPECT_CLOSE(p.value(0, 2), 0.0);
  EXPECT_CLOSE(p.sample(1, 1, 1, 1), 5.0 * 5);
  // The runs' box sums read the missing rows as 0 too (one pixel and a box).
  EXPECT_CLOSE(boxSum(&p, 0, 2, 0, 0), 0.0);
  EXPECT_CLOSE(boxSum(&p, 1, 1, 1, 1), 5.0 * 5);
  StackView view;
  view.i1 = { &p };
  view.width = 4;
  view.height = 3;
  const SpectrumPoints mu = spectrumAt(view, 3, 2, 0, 0);
  ASSERT_EQ(mu.size(), 1);
  EXPECT_CLOSE(p.minValue, 0.0);
  EXPECT_CLOSE(p.maxValue, 5.0);
  // A small frame is drawn, missing rows and all.
  EXPECT_TRUE(p.render(ColorMapping()));
  EXPECT_EQ(p.displayImage.size(), QSize(4, 3));
}

// A header of no columns and 65535 rows read (and freed) 65535 empty rows.
TEST(Refusals, FramesWithoutColumnsStoreNoRows)
{
  const QDir dir(lctest::scratchDir("refusals_nocolumns"));
  QByteArray head("IM", 2);
  head += QByteArray::fromHex("00000000ffff") + QByteArray(56, '\0');
  const QString path = writeFile(dir.filePath("nocolumns.img"), head);
  TiffData d;
  ASSERT_TRUE(d.read(path));
  EXPECT_TRUE(d.isEmpty());
  EXPECT_EQ(d.height, 65535u);
  EXPECT_EQ(d.row(0), nullptr);
  EXPECT_CLOSE(d.sample(0, 0, 1, 1), 0.0);
}

// A file without line breaks (/dev/zero, 200 MB of zeros named as a
// standard) was read whole as one line: bad_alloc, or 800 MB before the
// refusal. Every text reader stops after one bounded line and says so once.
TEST(Refusals, TextFilesWithoutLineBreaksStopAfterOneBoundedLine)
{
  const QDir dir(lctest::scratchDir("refusals_nobreaks"));
  constexpr qint64 kZeros = 48 << 20;
  // Sparse: the zeros cost no disk.
  const auto zeros = [&dir](const QString& name, const QByteArray& head) {
    const QString path = writeFile(dir.filePath(name), head);
    QFile f(path);
    EXPECT_TRUE(f.resize(head.size() + kZeros));
    return path;
  };
  const QByteArray empHeader = "###Lumacresta::LMCR\n"
                               "Std Edge Energy [eV]    : 8979\n"
                               "Spacing [nm]            : 3.13553\n"
                               "Width [pix]             : 4\n"
                               "Height [pix]            : 3\n"
                               "Area X1                 : 4\n"
                               "Area Y1                 : 3\n"
                               "##-----------------\n";
  const struct
  {
    const char* name;
    QByteArray head;
    std::function<bool(const QString&)> read;
    QString line; // the refusal, then " : <file>" or " <file>"
  } cases[] = {
    { "spectrum.dat",
      "",
      [](const QString& p) { return XafsSpectrum().load(p); },
      "No spectrum in file : " },
    { "9809.dat",
      "9809 header\n",
      [](const QString& p) { return XafsSpectrum().load(p); },
      "No spectrum in file : " },
    { "energies.dat",
      "",
      [](const QString& p) {
        QVector<double> e;
        return energy::readReferenceEnergies(p, 3.13553, e);
      },
      "Can't read ref file (a line longer than 1048576 bytes) " },
    { "config.cfg",
      "Threads 2\n",
      [](const QString& p) { return ParamRegistry().readConfigFile(p); },
      "Config file not read past a line longer than 1048576 bytes : " },
    { "header.emp",
      "###Lumacresta::LMCR\n",
      [](const QString& p) { return Session().loadShiftMap(p); },
      "Invalid Energy Map Data File : " },
    { "frame.dat",
      "#VRSK-CTImg\n# RANGE_X0 0\n# RANGE_X1 4\n# RANGE_Y0 0\n# RANGE_Y1 3\n",
      [](const QString& p) { return TiffData().read(p); },
      "VRSK line longer than 1048576 bytes : " },
    { "values.emp",
      empHeader,
      [](const QString& p) { return Session().loadShiftMap(p); },
      "Unreadable value in energy map : more than 64 characters" },
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = zeros(c.name, c.head);
    if (!resetPeak())
      GTEST_SKIP() << "no /proc/self/clear_refs to reset the peak resident size";
    const double before = peakMb();
    lctest::MessageCapture log;
    EXPECT_FALSE(c.read(path));
    EXPECT_LT(peakMb() - before, 24.0);
    // The shift map's reading announces its start before the values.
    const QStringList lines =
      log.messages().filter(QRegularExpression(QStringLiteral("^(?!Start Reading EMP file)")));
    ASSERT_EQ(lines.size(), 1) << log.messages().join('\n').toStdString();
    EXPECT_TRUE(lines.first().startsWith(c.line)) << lines.first().toStdString();
  }
}
