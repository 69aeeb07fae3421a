#include "batch/BatchThread.h"

#include "batch/BatchDispatcher.h"

BatchThread::BatchThread()
  : m_dispatcher(std::make_unique<BatchDispatcher>())
{
  m_thread.setObjectName(QStringLiteral("batch"));
  m_dispatcher->moveToThread(&m_thread);
  m_thread.start();
}

BatchThread::~BatchThread()
{
  m_thread.quit();
  m_thread.wait();
  // The thread has ended, so nothing runs in the interpreter any more.
  m_dispatcher.reset();
}
