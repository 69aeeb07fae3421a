#include "analysis/Lcf2DRun.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"
#include "spectrum/XafsFileSelect.h"

#include "GeneratedStack.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

struct RunFixture
{
  explicit RunFixture(int size)
    : stack(size, size)
    , run(&analyzer)
  {
    QObject::connect(&analyzer, &Analyzer::finishedBlock, &run, &Lcf2DRun::answered);
    run.setSpectrumSource(
      [this](int cx, int cy, int bx, int by) { return stack.spectrumAt(cx, cy, bx, by); });
    cond.setup(size, size, 0, 0, 0, 0, size, size);
  }
  bool loadReferences()
  {
    return stack.ok() && analyzer.setLCFStd(0, true, 0.0, stack.truth().referenceFiles[0], "0") &&
           analyzer.setLCFStd(1, true, 0.0, stack.truth().referenceFiles[1], "0");
  }

  GeneratedStack stack;
  Analyzer analyzer;
  Lcf2DRun run;
  AnalyzeCond cond;
};

} // namespace

TEST(Lcf2DRun, FractionMapsMatchTheGeneratedTruth)
{
  RunFixture f(64);
  ASSERT_TRUE(f.loadReferences());
  QSignalSpy ended(&f.run, &Lcf2DRun::ended);
  // A single fit still in flight when the run starts must not be taken for
  // the run's first point.
  f.analyzer.analyzeAndShowSpectrum(f.stack.spectrumAt(63, 63, 0, 0), -1.0);
  ASSERT_TRUE(f.run.start(&f.cond));
  // The references were fixed at the start: a new row or an unticked box
  // neither shifts nor overruns the run's maps.
  f.analyzer.addNewRef();
  f.analyzer.references()[0]->fileSelect()->setUse(false);
  ASSERT_TRUE(ended.wait(120000));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_FALSE(f.analyzer.isRunning());
  EXPECT_EQ(f.run.pointsDone(), 64 * 64);
  EXPECT_EQ(f.analyzer.progressText(), "100.00");
  // Against the truth at the generator's default noise. The first point is
  // not the stale single fit's answer, nor is the unticked reference 0.
  for (int c = 0; c < 2; ++c) {
    const Analyzed2DRes* fractions = f.analyzer.references()[c]->map(1);
    double err = 0.0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        err += std::fabs(fractions->valueAt(x, y) - f.stack.fraction(c, x, y));
    EXPECT_LT(err / (64 * 64), 0.02);
    EXPECT_CLOSE(fractions->valueAt(0, 0), f.stack.fraction(c, 0, 0), 0.05);
  }
  EXPECT_TRUE(f.analyzer.ownMap(Analyzer::ZansaMap)->imageValid());
}

TEST(Lcf2DRun, StopEndsTheRunMidWay)
{
  RunFixture f(32);
  ASSERT_TRUE(f.loadReferences());
  f.run.setBlockSize(64);
  QSignalSpy ended(&f.run, &Lcf2DRun::ended);
  // Stopped after the first block is recorded; the block already in flight
  // must be dropped when it arrives.
  QObject::connect(&f.analyzer, &Analyzer::finishedBlock, &f.run, [&] { f.run.stop(); });
  ASSERT_TRUE(f.run.start(&f.cond));
  ASSERT_TRUE(ended.wait(60000));
  QTest::qWait(200);
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(f.run.pointsDone(), 64);
  EXPECT_FALSE(f.analyzer.isRunning());
  EXPECT_NE(f.analyzer.progressText(), "100.00");
}

TEST(Lcf2DRun, StopFromARowRefreshEndsOnce)
{
  // An area right of the image: every point is outside, so the run walks
  // its rows without a fit. A stop from the row refresh ends the run; the
  // walk must not end it a second time.
  RunFixture f(8);
  ASSERT_TRUE(f.loadReferences());
  f.analyzer.findChild<QCheckBox*>("DispOnTime")->setChecked(true);
  f.cond.setup(8, 8, 0, 0, 20, 0, 5, 8);
  QSignalSpy ended(&f.run, &Lcf2DRun::ended);
  QObject::connect(&f.run, &Lcf2DRun::mapsRendered, &f.run, [&] { f.run.stop(); });
  f.run.start(&f.cond);
  QTest::qWait(100);
  EXPECT_EQ(ended.count(), 1);
  EXPECT_FALSE(f.run.isRunning());
}

TEST(Lcf2DRun, BlockSizeDoesNotChangeTheMaps)
{
  // An area hanging over the right and top edges, binned blocks, and block
  // sizes that do not divide the number of points: the sending and the
  // recording walks must stay in step.
  RunFixture f(12);
  ASSERT_TRUE(f.loadReferences());
  f.cond.setup(12, 12, 1, 0, 5, -3, 12, 10);
  QVector<QVector<double>> first;
  for (int block : { 1, 7, 1000 }) {
    f.run.setBlockSize(block);
    QSignalSpy ended(&f.run, &Lcf2DRun::ended);
    ASSERT_TRUE(f.run.start(&f.cond));
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_EQ(ended.count(), 1);
    QVector<QVector<double>> maps;
    for (const Analyzed2DRes* m : f.run.maps())
      maps.append(m->data());
    if (first.isEmpty())
      first = maps;
    ASSERT_EQ(maps.size(), first.size());
    for (int m = 0; m < maps.size(); ++m)
      for (int i = 0; i < maps[m].size(); ++i)
        EXPECT_CLOSE(maps[m][i], first[m][i], 0.0) << "block " << block << " map " << m;
  }
}

TEST(Lcf2DRun, RefusedAndEmptyRunsStillEnd)
{
  RunFixture f(8);
  QSignalSpy ended(&f.run, &Lcf2DRun::ended);
  lctest::MessageCapture capture;
  // Rows without files: fewer than two usable references.
  EXPECT_FALSE(f.run.start(&f.cond));
  EXPECT_TRUE(capture.has("LCF 2D analysis not started: fewer than two usable references"));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_FALSE(f.analyzer.isRunning());

  ASSERT_TRUE(f.loadReferences());
  // Odd columns have nothing to fit (as outside the stack): the run must go
  // on without waiting for an answer that never comes.
  f.run.setSpectrumSource([&f](int cx, int cy, int bx, int by) {
    return cx % 2 ? XafsSpectrum() : f.stack.spectrumAt(cx, cy, bx, by);
  });
  f.run.setBlockSize(5);
  ASSERT_TRUE(f.run.start(&f.cond));
  ASSERT_TRUE(ended.wait(30000));
  EXPECT_EQ(ended.count(), 2);
  EXPECT_EQ(f.run.pointsDone(), 64);
  const Analyzed2DRes* fraction = f.analyzer.references()[0]->map(1);
  EXPECT_CLOSE(fraction->valueAt(1, 3), 0.0);
  EXPECT_CLOSE(fraction->valueAt(2, 3), f.stack.fraction(0, 2, 3), 0.05);
}
