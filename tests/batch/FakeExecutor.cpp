#include "FakeExecutor.h"

#include "batch/BatchDispatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

FakeExecutor::FakeExecutor(BatchDispatcher* d)
{
  connect(this, &FakeExecutor::dispatch, d, &BatchDispatcher::doDispatchCmds);
  connect(this, &FakeExecutor::finishCmd, d, &BatchDispatcher::finishBatchCmd);
  connect(this, &FakeExecutor::finishAny, d, &BatchDispatcher::finishBatchExec);
  connect(d, &BatchDispatcher::Log, this, [this](const QString& s) { log << s; });
  connect(d, &BatchDispatcher::batchFinished, this, [this] { m_idle = true; });
  connect(d, &BatchDispatcher::execCmdSig, this, [this](const CmdLine& c, bool rem) {
    cmds << c;
    inRem << rem;
    if (autoFinish)
      emit finishCmd(c.seq);
  });
}

QStringList FakeExecutor::lines() const
{
  QStringList l;
  for (const CmdLine& c : cmds)
    l << c.substLine;
  return l;
}

namespace {
template<typename Done>
bool spin(Done done, int ms)
{
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}
} // namespace

bool FakeExecutor::run(const QStringList& lines, int ms)
{
  m_idle = false;
  emit dispatch(lines);
  return spin([this] { return m_idle; }, ms);
}

bool FakeExecutor::waitForCmds(int n, int ms)
{
  return spin([this, n] { return cmds.size() >= n; }, ms);
}

void FakeExecutor::settle(int ms)
{
  spin([] { return false; }, ms);
}
