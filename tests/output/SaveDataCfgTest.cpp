#include "output/SaveDataCfg.h"

#include "support/Tolerance.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

TEST(SaveDataCfg, SlotsSetTheControlsTheSaveReads)
{
  SaveDataCfg w;
  EXPECT_EQ(w.windowTitle(), QString("Save Data Configuration"));
  EXPECT_TRUE(w.saveAsTiff());
  EXPECT_CLOSE(w.tiffScaleMin(), 0.0);
  EXPECT_CLOSE(w.tiffScaleMax(), 10.0);

  w.setSaveAsText();
  EXPECT_FALSE(w.saveAsTiff());
  EXPECT_TRUE(w.findChild<QRadioButton*>("SaveAsTextData")->isChecked());
  // Only the chosen format's settings can be edited.
  EXPECT_TRUE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());

  w.setSaveTextAsSSV();
  w.setSaveTextAsValValVal();
  EXPECT_FALSE(w.commaSeparated());
  EXPECT_FALSE(w.xyValue());
  // The separator and the layout are two independent choices.
  w.setSaveTextAsCSV();
  EXPECT_TRUE(w.commaSeparated());
  EXPECT_FALSE(w.xyValue());
  w.setSaveTextAsXYVal();
  EXPECT_TRUE(w.xyValue());
  EXPECT_TRUE(w.commaSeparated());

  w.setSaveAsTiff();
  w.setSaveTiffScaleFixed(true);
  w.setSaveTiffScaleMin(-0.25);
  w.setSaveTiffScaleMax(1.5);
  w.setSaveTiffAsAnalyzed(true);
  EXPECT_TRUE(w.saveAsTiff());
  EXPECT_TRUE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());
  EXPECT_TRUE(w.tiffFixedScale());
  EXPECT_EQ(w.findChild<QLineEdit*>("TiffScaleMin")->text(), QString("-0.25"));
  EXPECT_CLOSE(w.tiffScaleMax(), 1.5);
  EXPECT_TRUE(w.tiffAsAnalyzed());
}
