#include "BodyFixture.h"

#include "gui/display/CrossSView.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/spectrum/XafsView.h"
#include "input/TiffData.h"
#include "support/Tolerance.h"

#include "ui_Body.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <cmath>

// Moving the pointer over the image moves the current position there: the
// Position and Value read-outs, the spectrum of the box in the plot (single
// pixel: mu = -ln I1 without I0 frames) with its raw sums, and the row
// profile. The window is then grabbed into the build folder for a look.
TEST_F(BodyFixture, PointerOverTheImageUpdatesPositionAndPlot)
{
  ASSERT_TRUE(loadI1(makeStack("P", 4), true));
  Ui::Body& ui = *m_body->form();
  ui.HWidth->setText(QStringLiteral("0"));
  ui.VWidth->setText(QStringLiteral("0"));
  m_body->resize(1200, 860);
  m_body->show();
  m_body->showData(0);
  ImgDispA* area = ui.dispA;
  const QPoint at(int(7.5 / kWidth * area->width()), int(5.5 / kHeight * area->height()));
  QTest::mouseMove(area, at);

  EXPECT_EQ(ui.Position->text(), QStringLiteral("(   7,    5)"));
  EXPECT_EQ(ui.Value->text(), QString::number(1000 + 7 + kWidth * 5));
  const XafsView* view = m_body->xafsView();
  ASSERT_EQ(view->spectrum().size(), 4);
  ASSERT_EQ(view->rawSpectrum().size(), 4);
  for (int k = 0; k < 4; ++k) {
    const double pixel = 1000 + 10 * k + 7 + kWidth * 5;
    EXPECT_CLOSE(view->spectrum().value(k), -std::log(pixel));
    EXPECT_CLOSE(view->rawSpectrum().y(k), pixel);
  }

  const int k = m_body->i1List()->currentIndex();
  ASSERT_GE(k, 0);
  ASSERT_EQ(ui.HCross->profiles().size(), 1);
  const QVector<double> row = ui.HCross->profiles().first();
  ASSERT_EQ(row.size(), kWidth);
  const double sum = 3 * (1000 + 10 * k + kWidth * 5) + 6 + 7 + 8;
  EXPECT_CLOSE(row[7], -std::log(sum));
  EXPECT_EQ(ui.VCross->profiles().first().size(), kHeight);

  // Edits of the fields the spectrum is built from take effect at once.
  ui.HWidth->setText(QStringLiteral("1"));
  QCoreApplication::processEvents();
  EXPECT_CLOSE(view->rawSpectrum().y(0), sum);
  ui.SuggestingEeV->setText(QStringLiteral("8972"));
  ui.SuggestElm->setChecked(true);
  QCoreApplication::processEvents();
  EXPECT_TRUE(view->spectrum().expectedEdgeSet);
  EXPECT_FALSE(ui.DPreE->toolTip().isEmpty());

  ui.dispA->setSelectedArea(6, 4, 20, 14);
  const QImage shot = m_body->grab().toImage();
  EXPECT_TRUE(
    shot.save(QDir(QCoreApplication::applicationDirPath()).filePath("body-main-window.png")));
}
