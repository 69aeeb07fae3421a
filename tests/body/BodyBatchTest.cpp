#include "BodyFixture.h"

#include <QSignalSpy>

// A load command ends once every image of its own load is in the stack; a
// load started by hand and ending first does not end it.
TEST_F(BodyFixture, LoadCommandReportsWhenItsOwnLoadIsDone)
{
  const QStringList byHand = makeStack("H", 3);
  const QStringList batch = makeStack("B", 6);
  QSignalSpy reports(m_body.get(), &Body::finishBatchCmd);
  int framesAtReport = -1;
  QObject::connect(m_body.get(), &Body::finishBatchCmd, m_body.get(), [&] {
    framesAtReport = m_body->i1Frames().size();
  });
  m_body->readI1Files(byHand, true);
  const quint64 seq = exec("load_I1_files add " + batch.join(' '));
  EXPECT_TRUE(reports.isEmpty());
  ASSERT_TRUE(reports.wait(10000));
  EXPECT_EQ(reports.size(), 1);
  EXPECT_EQ(lastReport(reports), seq);
  EXPECT_EQ(framesAtReport, 9);
}
