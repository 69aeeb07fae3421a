#include "BodyFixture.h"

#include "StackGen.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ElemCtrl.h"
#include "gui/analysis/LCFReference.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "support/Maps.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_Body.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include <functional>

namespace {

// Fills `map` over the whole stack with `value` + x and draws it into
// `images`.
void fill(MapImages& images, Analyzed2DRes* map, int w, int h, double value)
{
  lctest::fillMap(*map, w, h, [value](int x, int) { return value + x; });
  images.genImg(*map);
}

} // namespace

// "Show Images" / "Show Results" switch the view and follow it: a map chosen
// in the analysis window ticks "Show Results"; "Show Images" brings the
// frame back and "Show Results" the map again.
TEST_F(BodyFixture, ShowImagesAndShowResultsSwitchAndFollow)
{
  ASSERT_TRUE(loadI1(makeStack("V", 3), true));
  Ui::Body& ui = *m_body->form();
  Analyzer* an = m_body->analyzer();
  fill(m_body->mapImages(), an->ownMap(Session::ZansaMap), kWidth, kHeight, 5.0);
  EXPECT_TRUE(ui.ShowImages->isChecked());

  ASSERT_TRUE(an->selectImage(8));
  EXPECT_TRUE(m_body->isMapShown());
  EXPECT_TRUE(ui.ShowResAnalysis->isChecked());

  ui.ShowImages->click();
  EXPECT_FALSE(m_body->isMapShown());
  EXPECT_EQ(ui.dispA->image(), m_body->i1Frames().at(m_body->shownIndex())->displayImage);
  ui.ShowResAnalysis->click();
  EXPECT_TRUE(m_body->isMapShown());
  EXPECT_EQ(ui.dispA->image(), m_body->mapImages().img(*an->ownMap(Session::ZansaMap)));
  m_body->onMouseMovedInDispA(); // "Value" reads the map under the pointer
  const QPoint at = ui.dispA->pointerPixel();
  EXPECT_EQ(ui.Value->text(), QString::number(5.0 + at.x()));
  m_body->showData(1);
  EXPECT_TRUE(ui.ShowImages->isChecked());

  // Every way a view changes ticks its button, the shift map's included.
  m_body->deglitch();
  EXPECT_TRUE(m_body->isMapShown());
  EXPECT_TRUE(ui.ShowResAnalysis->isChecked());
  fill(m_body->mapImages(), m_body->shiftMap(), kWidth, kHeight, 1.0);
  exec("select_disp_image 2"); // the batch's way to the shift map
  EXPECT_TRUE(ui.ShowShiftMap->isChecked());
  EXPECT_EQ(ui.dispA->image(), m_body->mapImages().img(*m_body->shiftMap()));
  EXPECT_CLOSE(ui.CBar->minValue(), m_body->shiftMap()->min());
  exec("select_disp_image 0 1");
  EXPECT_FALSE(m_body->isMapShown());
  EXPECT_EQ(m_body->shownIndex(), m_body->i1List()->currentIndex());
  ASSERT_TRUE(an->selectImage(8));
  EXPECT_TRUE(ui.ShowResAnalysis->isChecked());
  ui.ShowShiftMap->click();
  EXPECT_EQ(ui.dispA->image(), m_body->mapImages().img(*m_body->shiftMap()));
  EXPECT_EQ(ui.Value->text(), "1"); // the shift map's, at the position (0, 0)
  m_body->showData(0);
  EXPECT_TRUE(ui.ShowImages->isChecked());
  m_body->shiftMap()->clear();
  ui.ShowShiftMap->click(); // no map: the frame stays and so does its button
  EXPECT_TRUE(ui.ShowImages->isChecked());

  // A stack of another size: the zoom goes, and so do the maps of the old
  // size, the one on view included.
  ui.dispA->setViewWindow(QRectF(2, 2, 8, 6));
  ASSERT_TRUE(an->selectImage(8));
  const QStringList other = stackgen::writeSimpleStack(
    m_dir, "W", stackgen::Format::Tiff, 16, 16, { 8990.0, 8991.0 }, [](int, int, int) {
      return 9u;
    });
  ASSERT_TRUE(loadI1(other, true));
  EXPECT_FALSE(an->ownMap(Session::ZansaMap)->hasData());
  EXPECT_FALSE(m_body->isMapShown());
  EXPECT_EQ(ui.dispA->viewWindow(), QRectF(0, 0, 16, 16));
}

// The image area takes the shape of the stack (32 x 24 here), not of the
// window; the profiles are as long as the image's sides. "Save Image"
// writes the picture without the box of the spectrum and the selection
// frame drawn over it: a grey frame stays grey in the file.
TEST_F(BodyFixture, ImageAreaKeepsTheStacksShapeAndSavedImageHasNoMarks)
{
  ASSERT_TRUE(loadI1(makeStack("M", 2), true));
  Ui::Body& ui = *m_body->form();
  m_body->resize(1400, 900);
  m_body->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(m_body.get()));
  QApplication::processEvents();
  const QSize image = ui.dispA->size();
  ASSERT_GT(image.height(), 100);
  EXPECT_CLOSE(double(image.width()) / image.height(), double(kWidth) / kHeight, 0.02);
  EXPECT_EQ(ui.HCross->width(), image.width());
  EXPECT_EQ(ui.VCross->height(), image.height());
  EXPECT_EQ(ui.VCross->orientation(), Qt::Vertical);

  m_body->showXafsSpectrum(10, 10);
  ui.dispA->setSelectedArea(4, 4, 20, 16);
  const QImage onScreen = ui.dispA->grab().toImage();
  const QString file = m_dir + "/view.png";
  ASSERT_TRUE(m_body->saveImage(file));
  const QImage saved(file);
  ASSERT_FALSE(saved.isNull());
  auto coloured = [](const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        n += c.red() != c.green() || c.green() != c.blue() ? 1 : 0;
      }
    return n;
  };
  EXPECT_GT(coloured(onScreen), 0); // the marks are there to leave out
  EXPECT_EQ(coloured(saved), 0);
}

// A refusal shows in the window where the user acted and in the main
// window's status line, not only in the log.
TEST_F(BodyFixture, RefusalsShowInTheWindowUsed)
{
  Analyzer* an = m_body->analyzer();
  QWidget* calib = m_body->calibCtrl();
  // A header claiming 65535 x 4096 rows and no row: the frame loads, its
  // picture is not drawn.
  const QString hollow = m_dir + "/hollow.dat";
  {
    QFile f(hollow);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#VRSK-CTImg\n# RANGE_X0 0\n# RANGE_X1 65535\n# RANGE_Y0 0\n# RANGE_Y1 4096\n");
  }
  const struct
  {
    std::function<void()> act;
    QWidget* window;
    bool inStatusLine; // the analysis window's own tools stay in it
    QString text;
  } cases[] = {
    { [&] { m_body->saveData(m_dir + "/none.dat"); }, nullptr, true, "No map to save" },
    { [&] { m_body->deglitch(); }, nullptr, true, "Deglitch: no map" },
    { [&] { m_body->startLCF2DAnalysis(); },
      an,
      true,
      "LCF 2D analysis not started: no image loaded" },
    { [&] { an->processMaps(); }, an, false, "Process Maps: Map 1 and Map 2 must both hold a map" },
    { [&] { m_body->execCalibration(); }, calib, true, "Calibration not started: no image loaded" },
    { [&] { m_body->saveEMap(m_dir + "/none"); }, calib, true, "No map to save" },
    { [&] { loadI1({ hollow }, true); },
      nullptr,
      true,
      "Picture not drawn: the file holds 0 of the 65535 x 4096 rows its header announces : " +
        hollow },
  };
  for (const auto& c : cases) {
    m_body->statusBar()->clearMessage();
    c.act();
    QApplication::processEvents();
    if (c.window) {
      const QLabel* line = c.window->findChild<QLabel*>(QStringLiteral("RefusalLine"));
      ASSERT_NE(line, nullptr) << c.text.toStdString();
      EXPECT_EQ(line->text(), c.text);
    }
    if (c.inStatusLine) {
      EXPECT_EQ(m_body->statusBar()->currentMessage(), c.text);
    }
  }
  EXPECT_EQ(m_body->form()->SaveTarget->text(), QStringLiteral("Save Data: no map to save"));
  EXPECT_FALSE(QFile::exists(m_dir + "/none.emp"));
}

// Whatever map the image area shows (a fraction, the residual, a residual-
// absorption, element or sum-up map, the processed map, one of a binned
// run, its deglitched copy), the colour bar's labels span that map's values
// and "Value" reads the value drawn under the pointer.
TEST_F(BodyFixture, ColourBarAndValueFollowEveryKindOfMap)
{
  ASSERT_TRUE(loadI1(makeStack("V", 3), true));
  Ui::Body& ui = *m_body->form();
  Analyzer* an = m_body->analyzer();
  an->setTargetElements(QStringLiteral("Fe, Ni"));
  an->newElems();
  ASSERT_FALSE(an->elems().isEmpty());
  struct Case
  {
    const char* kind;
    Analyzed2DRes* map;
    int bin;        // half width of the run's boxes
    bool processed; // the deglitched copy shown
  };
  const Case cases[] = {
    { "fraction", an->references().first()->map(1), 0, false },
    { "residual", an->ownMap(Session::ZansaMap), 0, false },
    { "dmut", an->ownMap(Session::DMutMap), 0, false },
    { "element", an->elems().first()->map(0), 0, false },
    { "sum-up", an->ownMap(Session::SumUpMap), 0, false },
    { "processed", an->ownMap(Session::ProcessedMap), 0, false },
    { "binned", an->ownMap(Session::RestMap), 1, false },
    { "deglitched", an->ownMap(Session::RatiMap), 0, true },
  };
  double value = 1.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    value *= 3.0;
    AnalyzeCond cond;
    cond.setup(kWidth, kHeight, c.bin, c.bin, 0, 0, kWidth, kHeight);
    c.map->reset(cond);
    cond.reset();
    do
      c.map->setData(cond.cx, cond.cy, c.bin, c.bin, value + cond.cx);
    while (cond.next());
    if (c.processed) {
      c.map->deglitch2(5.0);
      c.map->selectProcImg(true);
    }
    m_body->mapImages().genImg(*c.map);
    ASSERT_TRUE(m_body->selectMapByName(c.map->name()));
    ASSERT_TRUE(m_body->isMapShown());
    double lo = 0.0, hi = 0.0;
    c.map->selectedRange(lo, hi);
    EXPECT_CLOSE(ui.CBar->minValue(), lo);
    EXPECT_CLOSE(ui.CBar->maxValue(), hi);
    m_body->onMouseMovedInDispA();
    const QPoint at = ui.dispA->pointerPixel();
    EXPECT_EQ(ui.Value->text(),
              QString::asprintf("%g", c.map->selectedValues()[at.y() * kWidth + at.x()]));
  }
}
