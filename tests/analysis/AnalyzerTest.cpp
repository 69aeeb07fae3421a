#include "gui/analysis/Analyzer.h"
#include "analysis/Analyzed2DRes.h"
#include "display/MapImages.h"
#include "gui/analysis/LCFReference.h"
#include "gui/spectrum/XafsFileSelect.h"
#include "gui/spectrum/XafsView.h"
#include "session/Session.h"
#include "ui_Analyzer.h"

#include "GeneratedStack.h"
#include "support/MessageCapture.h"
#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <cmath>

#include <QSignalSpy>

TEST(Analyzer, SingleFitAnswersGoIntoTheRows)
{
  GeneratedStack stack(8, 4);
  ASSERT_TRUE(stack.ok());
  MapImages images;
  Session session;
  Analyzer a(session, images);
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(a.setLCFStd(i, true, 0.0, stack.truth().referenceFiles[i], "0"));
  QSignalSpy shown(&a, &Analyzer::analyzedSpectrum);
  a.analyzeAndShowSpectrum(stack.spectrumAt(1, 1, 0, 0), -1.0);
  ASSERT_TRUE(shown.wait(10000));
  EXPECT_GT(a.lastFitted().size(), 0);
  EXPECT_TRUE(a.spectrumPlot()->hasData());
  const double f0 = a.references()[0]->fraction();
  EXPECT_CLOSE(f0, stack.fraction(0, 1, 1), 0.05);

  // An answer to another request leaves the rows as they are.
  LcfResult stale;
  stale.tag = 12345;
  stale.refIndex = { 0, 1 };
  stale.fractions = { 0.9, 0.1 };
  stale.amounts = { 0.9, 0.1 };
  a.analyzeSpectrumFinished(stale);
  EXPECT_CLOSE(a.references()[0]->fraction(), f0);

  // Clearing Ref 2 takes its answer and the fit's residual with it; the
  // spectrum is fitted again without it.
  a.noticedNewZ(0.25);
  a.references()[1]->fileSelect()->clear();
  EXPECT_TRUE(a.references()[1]->fractionText().isEmpty());
  EXPECT_TRUE(a.references()[1]->amountText().isEmpty());
  EXPECT_TRUE(a.form()->Zansa->text().isEmpty());

  // A row whose Use is unticked loses its answer when the fit goes on
  // without it.
  ASSERT_TRUE(a.setLCFStd(1, true, 0.0, stack.truth().referenceFiles[1], "0"));
  a.analyzeAndShowSpectrum(stack.spectrumAt(1, 1, 0, 0), -1.0);
  ASSERT_TRUE(shown.wait(10000));
  ASSERT_FALSE(a.references()[1]->fractionText().isEmpty());
  a.references()[1]->fileSelect()->useBox()->click();
  ASSERT_TRUE(shown.wait(10000));
  EXPECT_TRUE(a.references()[1]->fractionText().isEmpty());
}

// A reference moved off the sample's energies by dE is named, once: the
// window's note and one debug line, however often the same fit repeats; the
// note goes when the reference is back.
TEST(Analyzer, SingleFitNotesReferencesMissingTheSample)
{
  GeneratedStack stack(4, 4);
  ASSERT_TRUE(stack.ok());
  MapImages images;
  Session session;
  Analyzer a(session, images);
  ASSERT_TRUE(a.setLCFStd(0, true, 0.0, stack.truth().referenceFiles[0], "0"));
  ASSERT_TRUE(a.setLCFStd(1, true, 2000.0, stack.truth().referenceFiles[1], "0"));
  // The row after the last is added first; one further on is refused.
  ASSERT_EQ(a.references().size(), 2);
  EXPECT_TRUE(a.setLCFStd(2, false, 0.0, stack.truth().referenceFiles[0], "0"));
  EXPECT_EQ(a.references().size(), 3);
  EXPECT_FALSE(a.setLCFStd(4, false, 0.0, stack.truth().referenceFiles[0], "0"));
  EXPECT_EQ(a.references().size(), 3);
  // Rows and LCF settings are the Session's.
  EXPECT_EQ(session.references().size(), 3u);
  a.setLCFMode(1);
  a.form()->LCFRange1->setText("-25");
  EXPECT_TRUE(session.mlcf);
  EXPECT_CLOSE(session.fit.sE0, -25.0);
  a.setRaEnergy(8990.5);
  EXPECT_CLOSE(session.raEnergy, 8990.5);
  a.setLCFMode(0);
  a.form()->LCFRange1->setText("0");
  lctest::MessageCapture capture;
  QSignalSpy shown(&a, &Analyzer::analyzedSpectrum);
  for (int i = 0; i < 2; ++i) {
    a.analyzeAndShowSpectrum(stack.spectrumAt(1, 1, 0, 0), -1.0);
    ASSERT_TRUE(shown.wait(10000));
  }
  // No fit from nothing: no fractions (not 50 % / 50 %), and the reason.
  EXPECT_EQ(a.referenceNote(),
            "Ref 2: no energies in common with the sample\n"
            "Not fitted: fewer than two usable references on the common energy range");
  EXPECT_TRUE(std::isnan(a.references()[0]->fraction()));
  EXPECT_EQ(capture.count("References miss the sample's energies"), 1);
  EXPECT_TRUE(capture.contains("(no overlap)"));

  ASSERT_TRUE(a.setLCFStd(1, true, 0.0, stack.truth().referenceFiles[1], "0"));
  ASSERT_TRUE(shown.wait(10000));
  EXPECT_TRUE(a.referenceNote().isEmpty());
}
