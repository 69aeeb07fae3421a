#include "BodyFixture.h"

#include "analysis/Analyzed2DRes.h"
#include "gui/analysis/Analyzer.h"
#include "analysis/ComponentRun.h"
#include "gui/analysis/ComponentsWindow.h"
#include "analysis/PointRun.h"
#include "support/MessageCapture.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

using BodyComponents = BodyFixture;

int reportsOf(const QSignalSpy& spy, quint64 seq)
{
  int n = 0;
  for (const QList<QVariant>& args : spy)
    n += args.at(0).value<quint64>() == seq ? 1 : 0;
  return n;
}

} // namespace

TEST_F(BodyComponents, BatchWordsEndOnceOnEveryPathIncludingRefusals)
{
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  struct Case
  {
    QString line;
    QString message;
  };
  {
    lctest::MessageCapture log;
    const quint64 seq = exec("analyzer_exec_pca 2");
    EXPECT_EQ(reportsOf(reports, seq), 1);
    EXPECT_TRUE(log.has(QStringLiteral("PCA not started: no image loaded")));
  }
  ASSERT_TRUE(loadI1(makeStack("I1", 12), true));
  exec("set_band_w 0");
  exec("set_band_h 0");
  exec("select_region 0 0 6 4");
  const Case refusals[] = {
    { "analyzer_exec_pca 0", "PCA not started: the number of components must be at least 1" },
    { "analyzer_exec_cluster 1",
      "Cluster analysis not started: the number of clusters must be at least 2" },
    { "analyzer_exec_cluster 25",
      "Cluster analysis not started: 25 clusters but only 24 points in the area" },
    { "analyzer_exec_cluster 3 0",
      "Cluster analysis not started: the number of components must be at least 1" },
    { "analyzer_save_cluster_spectra " + m_dir + "/cl",
      "Cluster spectra not saved: no clusters computed" },
    { "analyzer_select_map No Such Map", "No map named No Such Map" },
  };
  for (const Case& c : refusals) {
    lctest::MessageCapture log;
    const quint64 seq = exec(c.line);
    EXPECT_EQ(reportsOf(reports, seq), 1) << c.line.toStdString();
    EXPECT_TRUE(log.has(c.message)) << c.message.toStdString();
  }

  // A run: reported at its end, once.
  const quint64 pca = exec("analyzer_exec_pca 2");
  m_body->componentRun()->waitForEnd();
  QTest::qWait(20);
  EXPECT_EQ(reportsOf(reports, pca), 1);
  ASSERT_EQ(m_body->componentRun()->maps().size(), 2);
  EXPECT_EQ(m_body->componentsWindow()->varianceList()->count(),
            m_body->componentRun()->explained().size());

  const quint64 cluster = exec("analyzer_exec_cluster 2");
  m_body->componentRun()->waitForEnd();
  QTest::qWait(20);
  EXPECT_EQ(reportsOf(reports, cluster), 1);
  ASSERT_EQ(m_body->componentRun()->clusters().size(), 2);
  EXPECT_EQ(m_body->componentsWindow()->clusterList()->count(), 2);

  const quint64 save = exec("analyzer_save_cluster_spectra " + m_dir + "/cl");
  EXPECT_EQ(reportsOf(reports, save), 1);
  EXPECT_TRUE(QFile::exists(m_dir + "/cl-1.dat"));
  EXPECT_TRUE(QFile::exists(m_dir + "/cl-2.dat"));
  EXPECT_FALSE(QFile::exists(m_dir + "/cl-3.dat"));
}

TEST_F(BodyComponents, SelectMapByNameShowsAndSavesItUntilTheSelectionChanges)
{
  ASSERT_TRUE(loadI1(makeStack("I1", 12), true));
  exec("set_band_w 0");
  exec("set_band_h 0");
  exec("select_region 0 0 6 4");
  exec("analyzer_exec_cluster 2");
  m_body->componentRun()->waitForEnd();
  QTest::qWait(20);

  exec("analyzer_select_map \"Cluster Map\"");
  EXPECT_EQ(m_body->mapToSave(), m_body->componentRun()->clusterMap());
  // Any map of the analysis window by its name, too.
  exec("analyzer_select_map a2d Rest");
  ASSERT_NE(m_body->mapToSave(), nullptr);
  EXPECT_EQ(m_body->mapToSave()->name(), QStringLiteral("a2d Rest"));
  exec("analyzer_select_map PCA Score 1");
  EXPECT_EQ(m_body->mapToSave()->name(), QStringLiteral("PCA Score 1"));
  // A selection made afterwards wins.
  m_body->analyzer()->selectImage(8);
  EXPECT_EQ(m_body->mapToSave()->name(), QStringLiteral("a2d Zansa"));
  EXPECT_EQ(m_body->analyzer()->chosenMap(), nullptr);

  // The window's button opens the components window.
  auto* open = m_body->analyzer()->findChild<QPushButton*>(QStringLiteral("OpenComponents"));
  ASSERT_NE(open, nullptr);
  open->click();
  EXPECT_TRUE(m_body->componentsWindow()->isVisible());
}
