#include "gui/output/SaveDataCfg.h"

#include "session/Session.h"
#include "support/Tolerance.h"

#include <QGroupBox>
#include <QRadioButton>

#include <gtest/gtest.h>

// Only the chosen format's settings can be edited, the separator and the
// layout of a text map are two independent choices, and the window shows
// and writes the Session's options.
TEST(SaveDataCfg, FormatEnablesItsSettingsAndTextChoicesAreIndependent)
{
  Session session;
  const Session::SaveOptions& o = session.save;
  SaveDataCfg w(session);
  w.setSaveAsText();
  EXPECT_TRUE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());

  w.setSaveTextAsSSV();
  w.setSaveTextAsValValVal();
  w.setSaveTextAsCSV();
  EXPECT_FALSE(o.xyValue);
  w.setSaveTextAsXYVal();
  EXPECT_TRUE(o.commaSeparated);

  // The HDF5 kind has settings of neither, and going back gives them back.
  w.setSaveAsHdf5();
  EXPECT_EQ(o.kind, Session::SaveKind::Hdf5);
  EXPECT_FALSE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());
  w.setSaveAsTiff();
  EXPECT_EQ(o.kind, Session::SaveKind::Tiff);
  EXPECT_TRUE(w.findChild<QGroupBox*>("TiffCfg")->isEnabled());
  EXPECT_FALSE(w.findChild<QGroupBox*>("TextCfg")->isEnabled());

  // Options set elsewhere (a batch) show, and stay as they were set.
  session.save.kind = Session::SaveKind::Text;
  session.save.commaSeparated = false;
  session.save.tiffScaleMax = 2.5;
  w.showOptions();
  EXPECT_TRUE(w.findChild<QRadioButton*>("SaveAsTextData")->isChecked());
  EXPECT_TRUE(w.findChild<QRadioButton*>("DataSpaceSeparated")->isChecked());
  EXPECT_EQ(o.kind, Session::SaveKind::Text);
  EXPECT_FALSE(o.commaSeparated);
  EXPECT_CLOSE(o.tiffScaleMax, 2.5);
}
