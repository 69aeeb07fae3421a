#include "batch/BatchThread.h"

#include "batch/BatchDispatcher.h"

BatchThread::BatchThread()
  : WorkerThread(QStringLiteral("batch"))
{
}

// Defined here, where the interpreter's type is complete.
BatchThread::~BatchThread() = default;
