#include "gui/input/SelectDataFiles.h"
#include "gui/input/EOFSetup.h"
#include "input/EnergyAssignment.h"
#include "input/Units.h"
#include "ui_EOFSetup.h"
#include "ui_SelectDataFiles.h"

#include "support/MessageCapture.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QSignalSpy>
#include <QTest>

TEST(EOFSetup, CalculationFieldsStayConsistent)
{
  EOFSetup eof;
  Ui::EOFSetup* ui = eof.ui();
  ui->Start->clear();
  QTest::keyClicks(ui->Start, "8100");
  QTest::keyClick(ui->Start, Qt::Key_Return); // editing finished
  EXPECT_EQ(ui->End->text(), "9100");
  ui->Delta->setText("0.5");
  eof.newDelta();
  EXPECT_EQ(ui->End->text(), "8600");
  ui->End->setText("9000");
  eof.newEnd();
  EXPECT_EQ(ui->Delta->text(), "0.9");
  ui->NumOfPoints->setText("3");
  eof.newNumOfPoints();
  EXPECT_EQ(ui->Delta->text(), "300");

  lctest::MessageCapture cap;
  ui->NumOfPoints->setText("0");
  EXPECT_CLOSE(eof.energyOf("a", 1), 8400.0); // the refused count is not used
  eof.newNumOfPoints();
  EXPECT_TRUE(cap.has("Num of points must be above 0: 0"));
  EXPECT_EQ(ui->NumOfPoints->text(), "3");
}

TEST(EOFSetup, ChoosingAPresetSetsPatternAndFactor)
{
  EOFSetup eof;
  Ui::EOFSetup* ui = eof.ui();
  ui->FromFileName->setChecked(true);
  emit ui->PatternList->activated(7);
  EXPECT_CLOSE(eof.energyOf("Cu_08_979500KeV.img", 4), 8979.5, 1e-9);
  eof.newPatternSelected(energy::patternPresets()[3]); // eV: factor kept
  EXPECT_EQ(ui->Factor->text(), "1000");
  ui->Pattern->setText(energy::patternPresets()[1]);
  eof.newPattern();
  EXPECT_CLOSE(eof.energyOf("scan_8979_5000.tif", 4), 8979.5, 1e-9);
}

TEST(SelectDataFiles, ListNavigationAndSignals)
{
  SelectDataFiles list;
  QSignalSpy chosen(&list, &SelectDataFiles::filesSelected);
  QSignalSpy moved(&list, &SelectDataFiles::currentIndexChanged);
  for (int i = 0; i < 3; ++i)
    EXPECT_CLOSE(list.addFile(QString("f%1.tif").arg(i), i), 8000.0 + i);
  EXPECT_EQ(list.ui()->NumOfFiles->text(), "3");
  list.prev();
  EXPECT_EQ(list.currentIndex(), 0);
  list.select(2);
  list.next();
  list.select(3);
  EXPECT_EQ(list.currentIndex(), 2);
  list.prev();
  EXPECT_EQ(list.currentIndex(), 1);
  ASSERT_FALSE(moved.isEmpty());
  EXPECT_EQ(moved.last().at(0).toInt(), 1);

  list.chooseFiles({});
  list.chooseFiles({ "a.tif", "b.tif" });
  list.ui()->Append->setChecked(true);
  list.chooseFiles({ "c.tif" });
  ASSERT_EQ(chosen.count(), 2);
  EXPECT_TRUE(chosen[0].at(1).toBool());
  EXPECT_FALSE(chosen[1].at(1).toBool());
  EXPECT_EQ(chosen[1].at(0).toStringList(), QStringList{ "c.tif" });

  list.select(2);
  list.removeFile(2); // the current entry: the one before it follows
  EXPECT_EQ(list.currentIndex(), 1);
  list.removeFile(0);
  EXPECT_EQ(list.fileName(list.currentIndex()), "f1.tif");
  EXPECT_EQ(list.ui()->NumOfFiles->text(), "1");

  list.clearFiles();
  EXPECT_EQ(list.ui()->NumOfFiles->text(), "0");
}

// The batch's setters reach the energy rule; values the dialog refuses
// leave its fields as they were.
TEST(SelectDataFiles, SettersDriveTheEnergyRule)
{
  SelectDataFiles list;
  Ui::EOFSetup* eof = list.eofSetup()->ui();
  list.setDispUnit(1);
  list.setEngCalcStart(8);
  list.setEngCalcDelta(0.001);
  EXPECT_CLOSE(list.energyOf("x", 25), 8025.0, 1e-9);
  list.setDispUnit(7); // no such unit
  EXPECT_EQ(eof->DisplayUnit->currentIndex(), 1);

  list.setDispUnit(0);
  list.setEvenInDeg(true);
  list.setEngCalcStart(8000);
  list.setEngCalcEnd(9000);
  list.setEngCalcNum(1000);
  list.setEngCalcNum(-5);
  EXPECT_EQ(eof->NumOfPoints->text(), "1000");
  EXPECT_CLOSE(list.energyOf("x", 1000), 9000.0, 1e-6);

  list.setEngByName(true);
  list.setEngByNameRegExp(energy::patternPresets()[8]);
  list.setEngByNameFactor(1000);
  EXPECT_CLOSE(list.energyOf("Cu8_979500KeV.img", 0), 8979.5, 1e-9);
  list.setEngByName(false); // no source ticked: calculated
  EXPECT_CLOSE(list.energyOf("Cu8_979500KeV.img", 1000), 9000.0, 1e-6);

  list.eofSetup()->units()->setD(2.0);
  list.setEngByRef(
    lctest::writeFile(lctest::scratchDir("test_energy_gui") + "/angles.txt", "9.5\n9.4\n"));
  EXPECT_CLOSE(list.addFile("a", 1), energy::energyOfAngle(9.4, 2.0));
  list.setEngByCalc(true);
  EXPECT_CLOSE(list.energyOf("a", 1000), 9000.0, 1e-6);
}

TEST(SelectDataFiles, ReferenceFromShared9809File)
{
  LC_REQUIRE_SHARED_FILE(path, "PF9A_2022.dat");
  SelectDataFiles list;
  list.setEngByRef(path);
  ASSERT_EQ(list.eofSetup()->refEnergies().size(), 1426);
  EXPECT_CLOSE(list.energyOf("a", 0), 6606.2, 0.5);    // the first block starts there
  EXPECT_CLOSE(list.energyOf("a", 5000), 8211.2, 0.5); // clamped to the last point
}
