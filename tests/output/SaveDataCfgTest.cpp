#include "output/SaveDataCfg.h"

#include <QGroupBox>

#include <gtest/gtest.h>

// The controls the batch commands set are checked through the batch; here:
// only the chosen format's settings can be edited, and the separator and the
// layout of a text map are two independent choices.
TEST(SaveDataCfg, FormatEnablesItsSettingsAndTextChoicesAreIndependent)
{
  SaveDataCfg w;
  EXPECT_TRUE(w.saveAsTiff());
  w.setSaveAsText();
  EXPECT_TRUE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());

  w.setSaveTextAsSSV();
  w.setSaveTextAsValValVal();
  w.setSaveTextAsCSV();
  EXPECT_TRUE(w.commaSeparated());
  EXPECT_FALSE(w.xyValue());
  w.setSaveTextAsXYVal();
  EXPECT_TRUE(w.xyValue());
  EXPECT_TRUE(w.commaSeparated());

  w.setSaveAsTiff();
  EXPECT_TRUE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
}
