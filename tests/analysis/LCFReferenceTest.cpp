#include "gui/analysis/LCFReference.h"
#include "gui/display/RefusalLine.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "session/Session.h"

#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>

#include <cmath>

namespace {

// A column file "energy mu" of an edge at 9000 eV with `n` points.
QString writeReference(const QTemporaryDir& dir, const QString& name, int n)
{
  QByteArray text = "# test reference\n";
  for (int i = 0; i < n; ++i) {
    const double e = 8900.0 + 2.0 * i;
    text += QByteArray::number(e) + ' ' +
            QByteArray::number(0.2 + 0.8 / (1.0 + std::exp(-(e - 9000.0) / 2.0))) + '\n';
  }
  return lctest::writeFile(dir.filePath(name), text);
}

} // namespace

TEST(LCFReference, CountsAsLoadedOnlyWithTwoPointsRead)
{
  QTemporaryDir dir;
  Session session;
  QWidget window;
  QLabel refusal;
  showRefusalsIn(&window, &refusal);
  LCFReference row(session, 0, &window);
  row.fileSelect()->setUse(true);
  const QString good = writeReference(dir, "good.dat", 101);
  row.fileSelect()->load(good);
  ASSERT_TRUE(row.isUsable());
  EXPECT_TRUE(row.snapshot().usable());
  const QString midE = row.midEText();
  EXPECT_FALSE(midE.isEmpty());

  // A file with one point (or an image) is refused in the window: the row
  // keeps its reference, its name and read-outs.
  lctest::MessageCapture capture;
  const QString one = writeReference(dir, "one.dat", 1);
  row.fileSelect()->load(one);
  EXPECT_TRUE(capture.has("Reference needs at least two points: " + one));
  EXPECT_TRUE(row.isUsable());
  EXPECT_EQ(row.fileSelect()->fileName(), good);
  EXPECT_EQ(row.midEText(), midE);
  EXPECT_EQ(session.references()[0].spectrum.size(), 101);
  EXPECT_TRUE(refusal.text().startsWith("Ref 1 keeps its reference: one.dat"))
    << qPrintable(refusal.text());

  // The selector flags itself loaded before the file is read; a row whose
  // only file was refused stays out of every fit. A file that is not there
  // is named as unreadable, not as too short.
  LCFReference fresh(session, 1, &window);
  fresh.fileSelect()->setUse(true);
  capture.clear();
  const QString missing = dir.filePath("missing.dat");
  fresh.fileSelect()->load(missing);
  EXPECT_TRUE(capture.has("Can't open spectrum file : " + missing));
  EXPECT_FALSE(capture.contains("at least two points"));
  EXPECT_FALSE(fresh.isLoaded());
  EXPECT_FALSE(fresh.snapshot().usable());
  EXPECT_TRUE(fresh.fileSelect()->fileName().isEmpty());
  EXPECT_TRUE(fresh.midEText().isEmpty());
}

TEST(LCFReference, SetStdAndResults)
{
  QTemporaryDir dir;
  Session session;
  LCFReference row(session, 1);
  row.setStd(true, 1.5, writeReference(dir, "ref.dat", 101), "1");
  EXPECT_TRUE(row.isUsable());
  EXPECT_EQ(row.spectrum().mode, 0);
  const RefSnapshot snap = row.snapshot();
  EXPECT_CLOSE(snap.dE, 1.5);
  EXPECT_TRUE(snap.dEActive && snap.victoreen);
  // The row's values and maps are the Session's row 1.
  const Session::Reference& r = session.references()[1];
  EXPECT_TRUE(r.use && r.victoreen && r.spectrum.size() == 101);
  EXPECT_CLOSE(r.dE, 1.5);
  EXPECT_EQ(row.map(1), r.fraction.get());

  // Unticking "Victreen" normalises again with straight lines.
  row.findChild<QCheckBox*>("IsVictreen")->setChecked(false);
  EXPECT_EQ(row.spectrum().mode, 1);

  row.showResult(0.45678, 1.23456789);
  EXPECT_EQ(row.fractionText(), "45.68");
  EXPECT_EQ(row.amountText(), "1.23457");
  row.showResult(0.05, 0.0);
  EXPECT_EQ(row.fractionText(), " 5.00");
}
