#pragma once

#include "app/WorkerThread.h"

class BatchDispatcher;

// The interpreter together with the thread it runs on. The thread starts at
// construction; destruction stops the thread and waits for it before the
// interpreter is freed, so closing the program during a batch ends cleanly.
class BatchThread : public WorkerThread<BatchDispatcher>
{
public:
  BatchThread();
  ~BatchThread();

  BatchDispatcher* dispatcher() const { return worker(); }
};
