#include "gui/output/SaveDataCfg.h"

#include <QGroupBox>

#include <gtest/gtest.h>

// Only the chosen format's settings can be edited, and the separator and the
// layout of a text map are two independent choices.
TEST(SaveDataCfg, FormatEnablesItsSettingsAndTextChoicesAreIndependent)
{
  SaveDataCfg w;
  w.setSaveAsText();
  EXPECT_TRUE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());

  w.setSaveTextAsSSV();
  w.setSaveTextAsValValVal();
  w.setSaveTextAsCSV();
  EXPECT_FALSE(w.xyValue());
  w.setSaveTextAsXYVal();
  EXPECT_TRUE(w.commaSeparated());

  // The HDF5 kind has settings of neither, and going back gives them back.
  w.setSaveAsHdf5();
  EXPECT_TRUE(w.saveAsHdf5());
  EXPECT_FALSE(w.saveAsTiff());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());
  w.setSaveAsTiff();
  EXPECT_FALSE(w.saveAsHdf5());
  EXPECT_TRUE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
}
