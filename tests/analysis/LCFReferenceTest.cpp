#include "analysis/LCFReference.h"
#include "analysis/Analyzed2DRes.h"
#include "spectrum/XafsFileSelect.h"

#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

namespace {

// A column file "energy mu" of an edge at 9000 eV with `n` points.
QString writeReference(const QTemporaryDir& dir, const QString& name, int n)
{
  const QString path = dir.filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
    return QString();
  QTextStream out(&f);
  out << "# test reference\n";
  for (int i = 0; i < n; ++i) {
    const double e = 8900.0 + 2.0 * i;
    out << e << ' ' << 0.2 + 0.8 / (1.0 + std::exp(-(e - 9000.0) / 2.0)) << '\n';
  }
  return path;
}

} // namespace

TEST(LCFReference, CountsAsLoadedOnlyWithTwoPointsRead)
{
  QTemporaryDir dir;
  LCFReference row(1);
  EXPECT_EQ(row.selectButton()->text(), "Select Ref1");
  EXPECT_EQ(row.map(0)->name(), "LCF Ref 1");
  EXPECT_EQ(row.map(1)->name(), "LCF Ref 2");
  row.fileSelect()->setUse(true);

  row.fileSelect()->load(writeReference(dir, "good.dat", 101));
  ASSERT_TRUE(row.isUsable());
  EXPECT_EQ(row.midEText(), QString::number(row.spectrum().midx, 'g', 6));
  EXPECT_EQ(row.dMutText(), QString::number(row.spectrum().dMut, 'g', 6));
  EXPECT_TRUE(row.snapshot().usable());

  // The selector flags itself loaded before the file is read; a file with
  // one point must still leave the row out of every fit.
  lctest::MessageCapture capture;
  const QString one = writeReference(dir, "one.dat", 1);
  row.fileSelect()->load(one);
  EXPECT_TRUE(capture.has("Reference needs at least two points: " + one));
  EXPECT_FALSE(row.isLoaded());
  EXPECT_FALSE(row.snapshot().usable());
  EXPECT_TRUE(row.midEText().isEmpty());

  row.fileSelect()->load(dir.filePath("missing.dat"));
  EXPECT_FALSE(row.isLoaded());
}

TEST(LCFReference, SetStdAndResults)
{
  QTemporaryDir dir;
  LCFReference row(2);
  row.setStd(true, 1.5, writeReference(dir, "ref.dat", 101), "1");
  EXPECT_TRUE(row.isUsable());
  EXPECT_TRUE(row.isVictreen());
  EXPECT_EQ(row.spectrum().mode, 0);
  const RefSnapshot snap = row.snapshot();
  EXPECT_CLOSE(snap.dE, 1.5);
  EXPECT_TRUE(snap.dEActive);
  EXPECT_TRUE(snap.victoreen);

  // Unticking "Victreen" normalises again with straight lines.
  row.findChild<QCheckBox*>("IsVictreen")->setChecked(false);
  EXPECT_EQ(row.spectrum().mode, 1);

  row.showResult(0.45678, 1.23456789);
  EXPECT_EQ(row.fractionText(), "45.68");
  EXPECT_EQ(row.amountText(), "1.23457");
  EXPECT_CLOSE(row.fraction(), 0.45678);
  row.showResult(0.05, 0.0);
  EXPECT_EQ(row.fractionText(), " 5.00");
}
