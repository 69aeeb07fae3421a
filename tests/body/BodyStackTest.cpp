#include "BodyFixture.h"

#include "StackGen.h"
#include "app/Settings.h"
#include "gui/analysis/Analyzer.h"
#include "gui/app/Startup.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/ColorBar.h"
#include "gui/display/CrossSView.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/SelectDataFiles.h"
#include "input/LoadTiff.h"
#include "input/TiffData.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include "ui_Body.h"

#include <QApplication>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

#include <atomic>

// A generated stack read through readI1Files: frames come from the loader
// thread unrendered (the colour bar belongs to the GUI thread), each gets
// the energy of its name and the end of the load is reported exactly once.
// Skip 0 reads every file rather than looping on the first; a quiet load
// ("Show Latest" off) must still set the stack size and the slider.
TEST_F(BodyFixture, LoadedStackGetsEnergiesFromNamesAndReportsItsEndOnce)
{
  m_body->i1List()->setShowLatest(false);
  m_body->i1List()->setSkip(0);
  const QStringList files = makeStack("A", 7, 8979.5);
  std::atomic<int> unrenderedOffGui{ 0 };
  QThread* gui = QApplication::instance()->thread();
  const auto probe = QObject::connect(
    m_body->i1Loader(),
    &LoadTiff::loaded,
    m_body->i1Loader(),
    [&](TiffData* f, int) {
      unrenderedOffGui += QThread::currentThread() != gui && f->displayImage.isNull();
    },
    Qt::DirectConnection);
  QSignalSpy done(m_body->i1Loader(), &LoadTiff::finishLoadFiles);
  m_body->readI1Files(files, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_body->isLoadingI1(); }, 20000));
  QTest::qWait(50); // nothing else arrives late
  QObject::disconnect(probe);
  EXPECT_EQ(done.count(), 1);
  EXPECT_EQ(unrenderedOffGui.load(), 7);
  const QVector<double> e = energies(m_body->i1Frames());
  ASSERT_EQ(e.size(), 7);
  for (int k = 0; k < 7; ++k)
    EXPECT_CLOSE(e[k], 8979.5 + 1.5 * k);
  EXPECT_EQ(m_body->form()->SeekBar->maximum(), 6);
  EXPECT_EQ(m_body->stackWidth(), kWidth);
}

// New files replace the stack, appended files join it; the list follows.
TEST_F(BodyFixture, NewFilesReplaceAppendedFilesAppendAndListOptionsPickTheFiles)
{
  const QStringList more = makeStack("M", 2, 9000.0);
  ASSERT_TRUE(loadI1(makeStack("F", 3, 8000.0), true));
  ASSERT_TRUE(loadI1(more, false));
  QVector<double> e = energies(m_body->i1Frames());
  ASSERT_EQ(e.size(), 5);
  EXPECT_CLOSE(e[4], 9001.5);
  EXPECT_EQ(m_body->i1List()->count(), 5);

  ASSERT_TRUE(loadI1(more, true));
  e = energies(m_body->i1Frames());
  ASSERT_EQ(e.size(), 2);
  EXPECT_CLOSE(e[0], 9000.0);
  EXPECT_EQ(m_body->i1List()->count(), 2);
  EXPECT_EQ(m_body->form()->SeekBar->maximum(), 1);

  // The list's loading options reach the loader: every third file from the
  // second to the third from the end; a damaged one among them is dropped
  // and the next keeps its own number (here its calculated energy, 8000 +
  // number).
  const QStringList files = makeStack("S", 10);
  QFile::resize(files[4], 20);
  SelectDataFiles* list = m_body->i1List();
  list->setEngByName(false);
  list->setSkip(3);
  list->setCutF(1);
  list->setCutL(2);
  ASSERT_TRUE(loadI1(files, true));
  e = energies(m_body->i1Frames());
  ASSERT_EQ(e.size(), 2);
  EXPECT_CLOSE(e[0], 8001.0);
  EXPECT_CLOSE(e[1], 8007.0);
}

// Clearing the stack while a load still runs: nothing of the old load may
// join the new stack (it would carry energies of the wrong list).
TEST_F(BodyFixture, NewFilesDuringALoadDropTheOldLoadsFrames)
{
  const QStringList many = repeated(makeStack("L", 1, 7000.0).first(), 3000);
  const QStringList fresh = makeStack("N", 3, 9500.0);
  m_body->readI1Files(many, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_body->i1Frames().size() > 0; }, 20000));
  m_body->readI1Files(fresh, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_body->isLoadingI1(); }, 20000));
  QTest::qWait(50);
  const QVector<double> e = energies(m_body->i1Frames());
  ASSERT_EQ(e.size(), 3);
  EXPECT_CLOSE(e[0], 9500.0);
  EXPECT_EQ(m_body->i1List()->count(), 3);
}

// The buttons and analyzer_show_window bring a minimised tool window back;
// closing the main window closes every tool window with it, so that the
// program ends instead of living on behind a forgotten window.
TEST_F(BodyFixture, ToolWindowsComeBackAndCloseWithTheMainWindow)
{
  m_body->show();
  QWidget* tools[] = {
    m_body->analyzer(), m_body->i1List(), m_body->calibCtrl(), m_body->batchCtrl()
  };
  Ui::Body& ui = *m_body->form();
  const std::function<void()> ask[] = { [&] { exec("analyzer_show_window"); },
                                        [&] { ui.SelectI1Files->click(); },
                                        [&] { ui.OpenCalibCtrl->click(); },
                                        [&] { ui.BatchCtrlB->click(); } };
  for (int i = 0; i < 4; ++i) {
    tools[i]->showMinimized();
    ask[i]();
    EXPECT_TRUE(tools[i]->isVisible()) << i;
    EXPECT_FALSE(tools[i]->isMinimized()) << i;
  }
  m_body->close();
  for (QWidget* w : tools)
    EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

// Closing the program in the middle of a long load: the loader is stopped
// and joined, frames still on their way are freed (the sanitizer build
// checks for leaks), and it does not wait for the whole list.
TEST_F(BodyFixture, DestroyingDuringALongLoadEndsCleanlyAndSoon)
{
  const QStringList many = repeated(makeStack("L", 1).first(), 20000);
  m_body->readI1Files(many, true);
  m_body->readI0Files(many, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_body->i1Frames().size() > 2; }, 20000));
  ASSERT_TRUE(m_body->isLoadingI1());

  QElapsedTimer timer;
  timer.start();
  m_body.reset();
  EXPECT_LT(timer.elapsed(), 5000);
}

// The batch command "quit" in the middle of a long load: finishing() closes
// the windows, the event loop ends and the main window goes cleanly.
TEST(BodyShutdown, FinishingDuringALoadEndsTheProgram)
{
  const QStringList one = stackgen::writeSimpleStack(lctest::scratchDir("FinishingDuringALoad"),
                                                     "Q",
                                                     stackgen::Format::Tiff,
                                                     16,
                                                     16,
                                                     { 8979.5 },
                                                     [](int, int, int) { return 7u; });
  ASSERT_EQ(one.size(), 1);
  const QStringList many = repeated(one.first(), 20000);

  bool sawFrames = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* body = qobject_cast<Body*>(w)) {
        body->readI1Files(many, true);
        sawFrames = QTest::qWaitFor([body] { return body->i1Frames().size() > 2; }, 20000);
        emit body->finishing();
      }
    }
  });
  EXPECT_EQ(runMainWindow(StartupOptions()), 0);
  EXPECT_TRUE(sawFrames);
}

// Clearing the stack on view leaves no read-out of it (profiles, Value, the
// colour bar's values), nor what was said about its files.
TEST_F(BodyFixture, ClearingTheStackOnViewClearsItsReadOuts)
{
  ASSERT_TRUE(loadI1(makeStack("C", 3), true));
  Ui::Body& ui = *m_body->form();
  m_body->resize(1200, 860);
  m_body->show();
  m_body->showData(0);
  QTest::mouseMove(ui.dispA, QPoint(ui.dispA->width() / 3, ui.dispA->height() / 3));
  ASSERT_FALSE(ui.HCross->profiles().isEmpty());
  ASSERT_FALSE(ui.Value->text().isEmpty());
  ASSERT_GT(ui.CBar->maxValue(), 1.0);
  m_body->statusBar()->showMessage(QStringLiteral("old refusal"));
  m_body->clearI1Files();
  EXPECT_TRUE(ui.HCross->profiles().isEmpty());
  EXPECT_TRUE(ui.VCross->profiles().isEmpty());
  EXPECT_TRUE(ui.Value->text().isEmpty());
  EXPECT_CLOSE(ui.CBar->minValue(), 0.0);
  EXPECT_CLOSE(ui.CBar->maxValue(), 1.0);
  EXPECT_TRUE(m_body->statusBar()->currentMessage().isEmpty());
}
