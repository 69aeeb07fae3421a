#pragma once

#include <QThread>

#include <memory>

class BatchDispatcher;

// The interpreter together with the thread it runs on. The thread starts at
// construction; destruction stops the thread and waits for it before the
// interpreter is freed, so closing the program during a batch ends cleanly.
class BatchThread
{
public:
  BatchThread();
  ~BatchThread();
  BatchThread(const BatchThread&) = delete;
  BatchThread& operator=(const BatchThread&) = delete;

  BatchDispatcher* dispatcher() const { return m_dispatcher.get(); }

private:
  QThread m_thread;
  std::unique_ptr<BatchDispatcher> m_dispatcher;
};
