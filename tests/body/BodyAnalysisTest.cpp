#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"
#include "body/Body.h"

#include "support/MessageCapture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

TEST(BodyAnalysis, RunWithoutImagesReportsItsEndOnce)
{
  Body body;
  QSignalSpy finished(&body, &Body::finishBatchExec);
  lctest::MessageCapture capture;
  body.startLCF2DAnalysis();
  EXPECT_TRUE(capture.has("LCF 2D analysis not started: no image loaded"));
  EXPECT_EQ(finished.count(), 1);
  EXPECT_FALSE(body.isAnalysisRunning());
  AnalyzeCond ac;
  EXPECT_FALSE(body.askAnalyzeCond(ac));
}

TEST(BodyAnalysis, CheckValsListsTheSelectedMap)
{
  Body body;
  Analyzed2DRes* map = body.analyzer()->currentMap();
  ASSERT_EQ(map, body.analyzer()->references()[0]->map(1));
  AnalyzeCond c;
  c.setup(2, 2, 0, 0, 0, 0, 2, 2);
  map->reset(c);
  map->setData(1, 0, 0, 0, 0.5);
  lctest::MessageCapture capture;
  body.showAnalyzedVals();
  const QStringList lines = capture.messages();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0], "vals of LCF Ref 2");
  EXPECT_EQ(lines[2], "   1    0        0.500000        0.000000");
  EXPECT_EQ(lines[3], "   0    1        0.000000        0.000000");
}
