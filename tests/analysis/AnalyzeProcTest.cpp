#include "analysis/AnalyzeProc.h"

#include "support/Tolerance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

namespace {

XafsSpectrum edgeSpectrum(double centre, double scale = 1.0)
{
  SpectrumPoints p;
  for (double e = 8900; e <= 9100; e += 2.0)
    p.append(e, scale * (0.2 + 0.8 / (1.0 + std::exp(-(e - centre) / 2.0))));
  return XafsSpectrum(p, "ref", 1, 0.0, -1.0, -10.0, 10.0);
}

RefSnapshot used(const XafsSpectrum& s)
{
  return RefSnapshot::take(s, 0.0, false, true, false);
}

// Sends requests to a worker on its own thread and collects the answers in
// the order they arrive on this thread.
class Client : public QObject
{
public:
  explicit Client(AnalyzeProc* worker)
    : m_worker(worker)
  {
    connect(worker, &AnalyzeProc::newZ, this, [this](double) { order << "newZ"; });
    connect(worker, &AnalyzeProc::finished, this, [this](const LcfResult& r) {
      order << "finished";
      results << r;
    });
  }
  bool waitFor(int n)
  {
    QElapsedTimer t;
    t.start();
    while (results.size() < n && t.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return results.size() >= n;
  }

  // Queued to the worker's thread, as a signal from the Analyzer would be.
  void request(const XafsSpectrum& s,
               const QVector<RefSnapshot>& refs,
               bool isMLCF,
               const FitConditions& cond)
  {
    QMetaObject::invokeMethod(m_worker, [w = m_worker, s, refs, isMLCF, cond] {
      w->analyzeSpectrum0(s, refs, isMLCF, cond);
    });
  }

  QStringList order;
  QVector<LcfResult> results;

private:
  AnalyzeProc* m_worker;
};

} // namespace

TEST(AnalyzeProc, AnswersEveryRequestByValueInOrder)
{
  AnalyzeThread thread;
  Client client(thread.worker());
  const QVector<RefSnapshot> refs = { used(edgeSpectrum(8990)), used(edgeSpectrum(9010)) };
  FitConditions cond;
  cond.tag = 7;
  client.request(edgeSpectrum(9000), refs, false, cond);
  // Identical references make the system singular; it is still answered.
  cond.tag = 8;
  client.request(edgeSpectrum(9000), { refs[0], refs[0] }, true, cond);
  cond.tag = 9;
  client.request(edgeSpectrum(9000), refs.mid(0, 1), false, cond);
  cond.tag = 10;
  client.request(XafsSpectrum(), refs, false, cond);
  ASSERT_TRUE(client.waitFor(4));
  // In a 2-D run the answer is marked and carries no curve spectrum.
  thread.worker()->setContAccess(true);
  client.request(edgeSpectrum(9000), refs, false, cond);
  ASSERT_TRUE(client.waitFor(5));

  EXPECT_EQ(client.order.mid(0, 2), (QStringList{ "newZ", "finished" }));
  const QVector<LcfResult>& r = client.results;
  EXPECT_EQ(r[0].tag, 7u);
  EXPECT_EQ(r[0].fitted.name, "anal-LCF");
  EXPECT_CLOSE(r[0].fractions[0] + r[0].fractions[1], 1.0, 0.05);
  EXPECT_TRUE(r[1].singular);
  EXPECT_TRUE(r[1].mlcf);
  EXPECT_EQ(r[1].status, FitStatus::Ok);
  EXPECT_EQ(r[2].status, FitStatus::TooFewReferences);
  EXPECT_EQ(r[3].status, FitStatus::EmptySample);
  EXPECT_EQ(r[3].tag, 10u);
  EXPECT_TRUE(r[4].contAccess);
  EXPECT_EQ(r[4].fitted.size(), 0);
  EXPECT_FALSE(r[4].curve.isEmpty());
}
