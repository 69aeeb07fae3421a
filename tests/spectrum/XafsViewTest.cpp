#include "gui/spectrum/XafsView.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "output/MapFiles.h"
#include "spectrum/SyntheticSpectrum.h"

#include "app/TextItems.h"
#include "display/ChCoord.h"
#include "gui/display/DispA.h"

#include "support/GuiEvents.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

// A smooth edge at 9000 eV over 8900..9100 eV.
XafsSpectrum stepSpectrum(double shift = 0.0)
{
  SyntheticEdge v;
  v.e0 = 9000.0;
  v.gamma = 5.0;
  return XafsSpectrum(
    v.sample(8900, 9100, 2.0), QStringLiteral("test"), 1, shift, -1.0, -20.0, 20.0);
}

// The energy of the first data line of a written spectrum.
double firstEnergy(const QString& fileName)
{
  for (const QByteArray& line : lctest::readFile(fileName).split('\n'))
    if (!line.startsWith('#'))
      return line.split('\t').value(0).toDouble();
  return 0;
}

// A shown 640 x 480 view and its plot.
struct ShownView : ::testing::Test
{
  ShownView()
  {
    view.resize(640, 480);
    view.show();
    plot = view.findChild<DispA*>(QStringLiteral("Plot"));
  }
  XafsView view;
  DispA* plot = nullptr;
};

} // namespace

// The legend, shown once the curves are drawn, carries the jump in "% 6.3e"
// and the edge with thousands separators.
TEST(XafsView, Legend)
{
  XafsView view;
  XafsSpectrum s = stepSpectrum();
  s.dMut = 0.5;
  s.midx = 8979.123;
  view.setSpectrum(s);
  view.grab();
  EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("ExtMsg"))->text(),
            QStringLiteral("dMut =  5.000e-01, Edge 8,979.12 [eV],"));
}

// One notch of the wheel narrows the energy range by 1/1.1 about the energy
// under the pointer, which stays where it was on the screen.
TEST_F(ShownView, WheelZoomKeepsThePointedEnergy)
{
  view.setSpectrum(stepSpectrum());
  ASSERT_NE(plot, nullptr);
  plot->grab();
  const QPoint at(plot->width() / 3, plot->height() / 2);
  const double before = plot->coord()->rx(at.x());

  lctest::turnWheel(plot, at, 1);
  plot->grab();
  EXPECT_CLOSE(plot->coord()->rx(at.x()), before, 1e-6);
  EXPECT_CLOSE(view.upperEnergy() - view.lowerEnergy(), 200.0 / 1.1, 1e-9);
  EXPECT_EQ(view.findChild<QLineEdit*>(QStringLiteral("XVal"))->text(),
            QString::number(before, 'g', 6));

  QTest::mouseMove(plot, at);
  EXPECT_EQ(view.findChild<QLineEdit*>(QStringLiteral("XVal"))->text(),
            QString::number(before, 'f', 1));

  view.resetXScale(); // back to the spectrum's range
  EXPECT_CLOSE(view.lowerEnergy(), 8900.0);
  EXPECT_CLOSE(view.upperEnergy(), 9100.0);
}

namespace {

// Antialiased lines blend into the background: a pixel counts as the
// curve's when every channel is close to it.
bool nearColour(const QColor& a, const QColor& b)
{
  return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
         std::abs(a.blue() - b.blue()) < 40;
}

// Pixels of `colour` inside the plot's frame of a fresh grab.
int pixelsOf(DispA* plot, const QColor& colour)
{
  const QImage img = plot->grab().toImage();
  const ChCoord* cc = plot->coord();
  int n = 0;
  for (int y = int(cc->sy0()) + 2; y < int(cc->sy1()) - 1; ++y)
    for (int x = int(cc->sx0()) + 2; x < int(cc->sx1()) - 1; ++x)
      n += nearColour(QColor(img.pixel(x, y)), colour) ? 1 : 0;
  return n;
}

} // namespace

// The range follows the data while a stack loads (nothing, one frame, the
// first few frames, all of them); a zoom inside the data stays until a new
// stack; a spectrum the range misses takes its own range.
TEST_F(ShownView, RangeFollowsTheData)
{
  view.setSpectrum(XafsSpectrum());
  SyntheticEdge v;
  view.setSpectrum(
    XafsSpectrum(v.sample(8950, 8950, 1.0), QStringLiteral("one"), 1, 0.0, -1.0, -20.0, 20.0));
  view.setSpectrum(
    XafsSpectrum(v.sample(8940, 8941, 0.5), QStringLiteral("few"), 1, 0.0, -1.0, -20.0, 20.0));
  EXPECT_CLOSE(view.upperEnergy(), 8941.0);
  view.setSpectrum(stepSpectrum());
  EXPECT_CLOSE(view.lowerEnergy(), 8900.0);
  EXPECT_CLOSE(view.upperEnergy(), 9100.0);
  EXPECT_GT(pixelsOf(plot, readableColour(0)), 100);

  lctest::turnWheel(plot, QPoint(plot->width() / 2, plot->height() / 2), 1);
  const double zoomed = view.upperEnergy() - view.lowerEnergy();
  view.setSpectrum(stepSpectrum());
  EXPECT_CLOSE(view.upperEnergy() - view.lowerEnergy(), zoomed, 1e-9);
  view.rescaleOnNextSpectrum(); // a new stack forgets the zoom
  view.setSpectrum(stepSpectrum());
  view.setSpectrum(stepSpectrum());
  EXPECT_CLOSE(view.upperEnergy() - view.lowerEnergy(), 200.0);

  SyntheticEdge cu;
  cu.e0 = 7112.0;
  view.setSpectrum(
    XafsSpectrum(cu.sample(7000, 7300, 2.0), QStringLiteral("fe"), 1, 0.0, -1.0, -20.0, 20.0));
  EXPECT_CLOSE(view.lowerEnergy(), 7000.0);
  EXPECT_CLOSE(view.upperEnergy(), 7300.0);
  EXPECT_GT(pixelsOf(plot, readableColour(0)), 100);
}

// The raw counts get their own scale: shown, they spread over the frame's
// height instead of lying along one edge, and their axis is labelled.
TEST_F(ShownView, RawCurveHasItsOwnScale)
{
  view.setSpectrum(stepSpectrum());
  SpectrumPoints raw;
  for (int i = 0; i <= 100; ++i)
    raw.append(8900.0 + 2.0 * i, 1.0e6 - 3.0e3 * i);
  view.setRawSpectrum(raw);
  view.findChild<QCheckBox*>(QStringLiteral("ShowRaw"))->setChecked(true);
  const QImage img = plot->grab().toImage();
  const ChCoord* cc = plot->coord();
  int topRow = img.height();
  int bottomRow = -1;
  for (int y = int(cc->sy0()) + 2; y < int(cc->sy1()) - 1; ++y)
    for (int x = int(cc->sx0()) + 2; x < int(cc->sx1()) - 1; ++x)
      if (nearColour(QColor(img.pixel(x, y)), readableColour(7))) {
        topRow = std::min(topRow, y);
        bottomRow = std::max(bottomRow, y);
      }
  EXPECT_GT(bottomRow - topRow, (cc->sy1() - cc->sy0()) * 0.7);
}

// The Fourier curve lies over its frequency index (k = 1 .. n/2, a cosine of
// period 8 of 64 points peaks at k = 8), not over the energies; the curves
// named by the owner (cluster means) get a legend until they are cleared.
TEST_F(ShownView, FourierAxisAndCurveLegend)
{
  QVector<double> cosine;
  for (int j = 0; j < 64; ++j)
    cosine.append(std::cos(2.0 * M_PI * j / 8.0));
  const QVector<QPointF> f = XafsView::fourierCurve(cosine);
  ASSERT_EQ(f.size(), 32);
  EXPECT_CLOSE(f.first().x(), 1.0);
  EXPECT_CLOSE(
    std::max_element(f.begin(), f.end(), [](auto a, auto b) { return a.y() < b.y(); })->x(), 8.0);

  view.addOtherSpectrum(stepSpectrum(30.0));
  view.setSpectrum(stepSpectrum());
  auto legendPixels = [&] {
    const QImage img = plot->grab().toImage();
    const ChCoord* cc = plot->coord();
    int n = 0;
    for (int y = int(cc->sy0()) + 6; y < int(cc->sy0()) + 46; ++y)
      for (int x = int(cc->sx0()) + 8; x < int(cc->sx0()) + 36; ++x)
        n += nearColour(QColor(img.pixel(x, y)), readableColour(4)) ? 1 : 0;
    return n;
  };
  EXPECT_EQ(legendPixels(), 0);
  view.setLegend({ QStringLiteral("Cluster 1"), QStringLiteral("Cluster 2") });
  EXPECT_GT(legendPixels(), 10);
  view.clearOtherSpectra();
  EXPECT_EQ(legendPixels(), 0);
}

// Save writes the measured spectrum with its shift applied, the standard and
// every other spectrum without, under the tags T, std and other<i>; the shift
// handed back is the edge distance to the standard (0 without one).
TEST(XafsView, SaveDataWritesTaggedFiles)
{
  const QString dir = lctest::scratchDir(QStringLiteral("XafsViewSave"));
  XafsView view;
  EXPECT_CLOSE(view.setSpectrum(stepSpectrum(3.0)), 0.0);
  XafsSpectrum standard = stepSpectrum();
  standard.midx = 8990.0;
  view.setStandard(standard);
  view.addOtherSpectrum(stepSpectrum());
  view.addOtherSpectrum(stepSpectrum());
  const XafsSpectrum measured = stepSpectrum(3.0);
  EXPECT_CLOSE(view.setSpectrum(measured), measured.midx - 8990.0);

  view.saveData(dir + QStringLiteral("/curve.dat"));
  for (const char* tag : { "T", "std", "other0", "other1" }) {
    const QString file = dir + QStringLiteral("/curve-%1.dat").arg(QLatin1String(tag));
    EXPECT_TRUE(lctest::readFile(file).startsWith("###Lumacresta::XafsSpectrum\n")) << tag;
  }
  EXPECT_CLOSE(firstEnergy(dir + QStringLiteral("/curve-T.dat")), 8897.0);
  EXPECT_CLOSE(firstEnergy(dir + QStringLiteral("/curve-std.dat")), 8900.0);
  EXPECT_EQ(taggedFileName(QStringLiteral("/a.b/curve"), QStringLiteral("T")),
            QStringLiteral("/a.b/curve-T"));
}

// "Clear" forgets the file: a cleared selector no longer counts as loaded.
TEST(XafsFileSelect, ClearForgetsTheLoadedFile)
{
  XafsFileSelect w("Select Std.");
  QSignalSpy cleared(&w, &XafsFileSelect::cleared);
  w.load("/data/fe.dat");
  QTest::mouseClick(w.clearButton(), Qt::LeftButton);
  EXPECT_EQ(cleared.count(), 1);
  EXPECT_TRUE(w.fileName().isEmpty());
  EXPECT_FALSE(w.isLoaded());
}
