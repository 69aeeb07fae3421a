#include "BodyFixture.h"
#include "session/Session.h"

#include "gui/input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "spectrum/EdgeTable.h"
#include "spectrum/XafsSpectrum.h"
#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_Body.h"

#include <QLabel>
#include <QStatusBar>

// A dark or total-I0 file that cannot be read changes nothing: the dark
// frame and its name, or the spectrum loaded before, stay.
TEST_F(BodyFixture, UnreadableFilesChangeNothing)
{
  const QString dark = makeStack("D", 1).first();
  m_body->selectedDark(dark);
  ASSERT_NE(m_body->darkFrame(), nullptr);
  const TiffData* before = m_body->darkFrame();

  m_body->selectedDark(lctest::writeFile(m_dir + "/bad.tif", QByteArray("II*\0 not a tiff", 15)));
  m_body->selectedDark(m_dir + "/missing.tif");
  EXPECT_EQ(m_body->darkFrame(), before);
  EXPECT_EQ(m_body->form()->DarkFileName->text(), dark);

  m_body->clearDark();
  EXPECT_EQ(m_body->darkFrame(), nullptr);
  EXPECT_TRUE(m_body->form()->DarkFileName->text().isEmpty());

  {
    lctest::MessageCapture log; // the points read are logged
    m_body->newTotalI0ofI1File(
      lctest::writeFile(m_dir + "/i0.dat", "# energy i0\n8990 1200\n9000 1300\n9010 1250\n"));
    EXPECT_TRUE(log.has("9000 1300"));
  }
  ASSERT_NE(m_body->totalI0ofI1Spectrum(), nullptr);
  EXPECT_EQ(m_body->totalI0ofI1Spectrum(),
            m_body->session().spectrumFile(Session::TotalI0ofI1File));
  ASSERT_EQ(m_body->session().totalI0.size(), 3);
  EXPECT_CLOSE(m_body->session().totalI0[1], 1300.0);

  m_body->newTotalI0ofI1File(m_dir + "/missing.dat");
  ASSERT_NE(m_body->totalI0ofI1Spectrum(), nullptr);
  EXPECT_EQ(m_body->totalI0ofI1Spectrum()->size(), 3);
  EXPECT_EQ(m_body->totalI0ofI0Spectrum(), nullptr);

  // A spectrum file chosen as images gives no frame: the stack stays, and
  // the list says why.
  ASSERT_TRUE(loadI1(makeStack("K", 3), true));
  ASSERT_TRUE(loadI1({ m_dir + "/i0.dat" }, true));
  EXPECT_EQ(m_body->i1Frames().size(), 3);
  EXPECT_EQ(m_body->stackWidth(), kWidth);
  EXPECT_EQ(m_body->i1List()->count(), 3);
  const QLabel* line = m_body->i1List()->findChild<QLabel*>(QStringLiteral("RefusalLine"));
  EXPECT_TRUE(line->text().startsWith(QStringLiteral("No image read")));
  // Among images, the file that is none is named with the reader's reason;
  // chosen as the dark frame, it is refused in the main window.
  ASSERT_TRUE(loadI1({ makeStack("M", 1, 9100.0).first(), m_dir + "/i0.dat" }, false));
  EXPECT_EQ(m_body->i1Frames().size(), 4);
  EXPECT_EQ(line->text(), "Not read: Unknown image format : " + m_dir + "/i0.dat");
  m_body->selectedDark(m_dir + "/i0.dat");
  EXPECT_EQ(m_body->statusBar()->currentMessage(),
            "Not read: Unknown image format : " + m_dir + "/i0.dat");
}

// Element lookups (edge energies, Victoreen coefficients) need the edge
// table; the main window loads it when it starts.
TEST(BodyStart, LoadsTheEdgeTable)
{
  lctest::MessageCapture log;
  loadEdgeTable(QStringLiteral("/nonexistent/Victoreen1.txt"));
  ASSERT_EQ(edgeTableCount(), 0);
  Body body;
  EXPECT_CLOSE(edgeEnergyEV(26, 0), 7112.0, 1.0);
}
