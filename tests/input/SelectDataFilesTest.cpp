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

TEST(EOFSetup, CalculationFieldsStayConsistentAndPresetsSetPatternAndFactor)
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

  // Choosing a preset sets the pattern and the factor.
  ui->FromFileName->setChecked(true);
  // The preset shown on start is the pattern used.
  EXPECT_EQ(ui->Pattern->text(), ui->PatternList->currentText());
  EXPECT_CLOSE(eof.energyOf("scan_08979_5000.tif", 4), 8979.5, 1e-9);
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

  // Listed files keep their energies: a change of the set-up is said once.
  lctest::MessageCapture log;
  list.setEngCalcStart(8100);
  list.setEngCalcStart(8200);
  EXPECT_EQ(log.count("Energy set-up changed after loading: the 1 files loaded keep"), 1);

  list.clearFiles();
  EXPECT_EQ(list.ui()->NumOfFiles->text(), "0");
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
