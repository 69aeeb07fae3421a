#include "analysis/Analyzer.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/LCFReference.h"
#include "spectrum/XafsView.h"

#include "GeneratedStack.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

TEST(Analyzer, OwnMapsAndCurrentMapRules)
{
  Analyzer a;
  const char* names[] = { "a2d Zansa",     "a2d DMut",       "a2d Rest",   "a2d Rati",
                          "a2d ElemsCor",  "a2d ElemsCorTh", "Sum Up Img", "Processed Map",
                          "E-Shift Map 1", "E-Shift Map 2" };
  for (int i = 0; i < Analyzer::OwnMapCount; ++i)
    EXPECT_EQ(a.ownMap(Analyzer::OwnMap(i))->name(), names[i]);
  ASSERT_EQ(a.references().size(), 2);

  // LCF section: the selected reference's fraction map, or its amount map.
  EXPECT_EQ(a.currentMap(), a.references()[0]->map(1));
  a.setLCFImageType(0);
  EXPECT_EQ(a.currentMap(), a.references()[0]->map(0));
  a.selectedNewRef(1);
  EXPECT_EQ(a.currentMap(), a.references()[1]->map(0));

  QSignalSpy changed(&a, &Analyzer::changedSelection);
  ASSERT_TRUE(a.selectImage(8));
  EXPECT_EQ(a.currentMap(), a.ownMap(Analyzer::ZansaMap));
  EXPECT_EQ(changed.count(), 1);

  // A residual map without an image falls back to "a2d Zansa".
  ASSERT_TRUE(a.selectImage(6));
  EXPECT_EQ(a.section(), Analyzer::RAASection);
  EXPECT_EQ(a.currentMap(), a.ownMap(Analyzer::ZansaMap));
  EXPECT_EQ(changed.count(), 2);

  ASSERT_TRUE(a.selectImage(4));
  EXPECT_EQ(a.currentMap(), a.ownMap(Analyzer::Map1));
  ASSERT_TRUE(a.selectImage(3));
  EXPECT_EQ(a.currentMap(), a.ownMap(Analyzer::SumUpMap));

  lctest::MessageCapture capture;
  EXPECT_FALSE(a.selectImage(9));
  EXPECT_TRUE(capture.has("No image button 9"));
  EXPECT_FALSE(a.setLCFStd(2, true, 0.0, "x.dat", "0"));
  EXPECT_TRUE(capture.has("No LCF reference 2"));
}

TEST(Analyzer, CaptureCopiesTheCurrentMap)
{
  Analyzer a;
  AnalyzeCond c;
  c.setup(4, 3, 0, 0, 0, 0, 4, 3);
  Analyzed2DRes* fraction = a.references()[0]->map(1);
  fraction->reset(c);
  fraction->setData(2, 1, 0, 0, 0.75);
  a.captureAsMap1();
  Analyzed2DRes* map1 = a.ownMap(Analyzer::Map1);
  EXPECT_EQ(map1->name(), "LCF Ref 2");
  EXPECT_CLOSE(map1->valueAt(2, 1), 0.75);
  // A deep copy: the source changing later leaves the capture alone.
  fraction->setData(2, 1, 0, 0, 0.25);
  EXPECT_CLOSE(map1->valueAt(2, 1), 0.75);
}

TEST(Analyzer, FieldSetters)
{
  Analyzer a;
  a.setProgress(12.345);
  EXPECT_EQ(a.progressText(), "12.35");
  a.setProgress(0.0);
  EXPECT_EQ(a.progressText(), " 0.00");
  a.setElemsProgress(100.0);
  EXPECT_EQ(a.elemsProgressText(), "100.00");
  a.setLCFMode(1);
  EXPECT_TRUE(a.isMLCF());
  a.setLCFMode(0);
  EXPECT_FALSE(a.isMLCF());
}

TEST(Analyzer, SingleFitAnswersGoIntoTheRows)
{
  GeneratedStack stack(8, 4);
  ASSERT_TRUE(stack.ok());
  Analyzer a;
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(a.setLCFStd(i, true, 0.0, stack.truth().referenceFiles[i], "0"));
  QSignalSpy shown(&a, &Analyzer::analyzedSpectrum);
  a.analyzeAndShowSpectrum(stack.spectrumAt(1, 1, 0, 0), -1.0);
  ASSERT_TRUE(shown.wait(10000));
  EXPECT_EQ(a.lastFitted().name, "anal-LCF");
  EXPECT_EQ(a.spectrumPlot()->windowTitle(), "Analyzing Spectrum");
  EXPECT_TRUE(a.spectrumPlot()->hasData());
  const double f0 = a.references()[0]->fraction();
  EXPECT_CLOSE(f0, stack.fraction(0, 1, 1), 0.05);
  EXPECT_EQ(a.references()[0]->fractionText(), QString::asprintf("%5.2f", f0 * 100.0));

  // An answer to another request leaves the rows as they are.
  LcfResult stale;
  stale.tag = 12345;
  stale.refIndex = { 0, 1 };
  stale.fractions = { 0.9, 0.1 };
  stale.amounts = { 0.9, 0.1 };
  a.analyzeSpectrumFinished(stale);
  EXPECT_CLOSE(a.references()[0]->fraction(), f0);
}
