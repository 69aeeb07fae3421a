#pragma once

#include <QString>
#include <QThread>

#include <memory>

// A worker object together with the thread it lives on. The thread starts
// at construction; destruction ends the thread's event loop and waits for
// the work in progress before the worker is freed, so no QThread is
// destroyed while running and no queued signal reaches a dead worker.
//
// A class holding this with a forward-declared worker defines its
// destructor where the worker is complete.
template<class Worker>
class WorkerThread
{
public:
  explicit WorkerThread(const QString& name)
    : m_worker(std::make_unique<Worker>())
  {
    m_thread.setObjectName(name);
    m_worker->moveToThread(&m_thread);
    m_thread.start();
  }

  ~WorkerThread()
  {
    m_thread.quit();
    m_thread.wait();
    // The thread has ended, so nothing runs in the worker any more.
    m_worker.reset();
  }

  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  Worker* worker() const { return m_worker.get(); }
  QThread* thread() { return &m_thread; }

private:
  QThread m_thread;
  std::unique_ptr<Worker> m_worker;
};
