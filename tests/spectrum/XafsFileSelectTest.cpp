#include "spectrum/XafsFileSelect.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(XafsFileSelect, SignalsAndLoadedFlag)
{
  XafsFileSelect w("Select Std.");
  QSignalSpy newFile(&w, &XafsFileSelect::newFile);
  QSignalSpy cleared(&w, &XafsFileSelect::cleared);
  QSignalSpy use(&w, &XafsFileSelect::changedUse);

  w.load("/data/fe.dat");
  EXPECT_TRUE(w.isLoaded());
  EXPECT_EQ(w.fileName(), QString("/data/fe.dat"));
  ASSERT_EQ(newFile.count(), 1);
  EXPECT_EQ(newFile.at(0).at(0).toString(), QString("/data/fe.dat"));

  QTest::mouseClick(w.clearButton(), Qt::LeftButton);
  EXPECT_EQ(cleared.count(), 1);
  EXPECT_TRUE(w.fileName().isEmpty());
  EXPECT_FALSE(w.isLoaded());

  w.setUse(true);
  ASSERT_EQ(use.count(), 1);
  EXPECT_TRUE(use.at(0).at(0).toBool());
  w.showUse(false);
  EXPECT_TRUE(w.useBox()->isHidden());
  w.setMaxSelectBW(40);
  EXPECT_EQ(w.selectButton()->maximumWidth(), 40);
}
