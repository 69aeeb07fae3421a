#include "BodyFixture.h"

#include "StackGen.h"
#include "batch/BatchDispatcher.h"
#include "gui/input/SelectDataFiles.h"
#include "input/TiffData.h"
#include "support/TestData.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// The first energy-from-name preset: "08979_5000" -> 8979.5 eV.
const QString kPattern = QStringLiteral("(\\d|)\\d\\d\\d\\d_\\d\\d\\d\\d");

bool waitForEnd(Body& body,
                void (Body::*read)(const QStringList&, bool),
                const QStringList& files,
                bool newFile)
{
  (body.*read)(files, newFile);
  return QTest::qWaitFor([&] { return !body.isLoadingI1() && !body.isLoadingI0(); }, 20000);
}
} // namespace

void BodyFixture::SetUp()
{
  m_dir = lctest::scratchDir(QStringLiteral("Body"));
  m_body = std::make_unique<Body>();
  for (SelectDataFiles* list : { m_body->i1List(), m_body->i0List() }) {
    list->setEngByName(true);
    list->setEngByNameRegExp(kPattern);
  }
}

void BodyFixture::TearDown()
{
  m_body.reset();
}

QStringList BodyFixture::makeStack(const QString& prefix, int count, double firstEnergy)
{
  QVector<double> energies;
  for (int k = 0; k < count; ++k)
    energies << firstEnergy + 1.5 * k;
  const QStringList files = stackgen::writeSimpleStack(
    m_dir, prefix, stackgen::Format::Tiff, kWidth, kHeight, energies, [](int x, int y, int k) {
      return quint32(1000 + 10 * k + x + kWidth * y);
    });
  EXPECT_EQ(files.size(), count);
  return files;
}

bool BodyFixture::loadI1(const QStringList& files, bool newFile)
{
  return waitForEnd(*m_body, &Body::readI1Files, files, newFile);
}

bool BodyFixture::loadI0(const QStringList& files, bool newFile)
{
  return waitForEnd(*m_body, &Body::readI0Files, files, newFile);
}

QVector<double> BodyFixture::energies(const FrameStack& stack) const
{
  QVector<double> e;
  for (const TiffData* frame : stack.pointers())
    e << frame->energy;
  return e;
}

bool BodyFixture::exec(const QStringList& lines)
{
  BatchDispatcher* d = m_body->batchExecutor().dispatcher();
  QSignalSpy finished(d, &BatchDispatcher::batchFinished);
  d->doDispatchCmds(lines);
  return finished.wait(60000);
}

QStringList repeated(const QString& file, int n)
{
  QStringList many;
  for (int i = 0; i < n; ++i)
    many << file;
  return many;
}
