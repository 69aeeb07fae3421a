// Fuzzes the batch interpreter: the input is the batch text, split into
// lines as the batch window does. A stub executor records nothing and
// reports every command's end at once, so no command is ever carried out;
// what is fuzzed is the line reader (continuations, comments, quotes), the
// keywords (:for/:next, :echo, :rem_start/:rem_end, :end) and the loop
// variable substitution.
#include "FuzzSupport.h"

#include "batch/BatchDispatcher.h"

#include <QCoreApplication>

namespace {

// A loop from 1 to 1e9 is a valid batch; the fuzzer stops it after this many
// steps instead of reporting a hang. Going round more often finds nothing
// new and only slows the fuzzer.
constexpr int kMaxSteps = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::initOnce();
  const QStringList lines =
    QString::fromUtf8(reinterpret_cast<const char*>(data), int(size)).split(QLatin1Char('\n'));
  BatchDispatcher dispatcher;
  bool idle = false;
  int steps = 0;
  QObject::connect(&dispatcher, &BatchDispatcher::batchFinished, [&idle] { idle = true; });
  QObject::connect(&dispatcher, &BatchDispatcher::execCmdSig, [&](const CmdLine& c, bool) {
    ++steps;
    dispatcher.finishBatchCmd(c.seq);
    // A second report of the same command must be ignored.
    dispatcher.finishBatchCmd(c.seq);
  });
  dispatcher.doDispatchCmds(lines);
  // Events for every receiver: Qt compacts its queue of posted events only
  // then, and a queue that only grows made each input slower than the last.
  while (!idle && steps < kMaxSteps) {
    QCoreApplication::sendPostedEvents();
    ++steps;
  }
  if (!idle)
    dispatcher.batchStopSlot();
  // Nothing queued may outlive the dispatcher.
  QCoreApplication::removePostedEvents(&dispatcher);
  QCoreApplication::sendPostedEvents();
  return 0;
}
