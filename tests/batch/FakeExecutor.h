#pragma once

#include "batch/CmdLine.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class BatchDispatcher;

// Stands in for the main window's executor on the test thread: records every
// command the interpreter sends and, unless told to hold, reports its end at
// once the way the real executor does.
class FakeExecutor : public QObject
{
  Q_OBJECT

public:
  explicit FakeExecutor(BatchDispatcher* dispatcher);

  bool autoFinish = true;
  QVector<CmdLine> cmds;
  QVector<bool> inRem;
  QStringList log;

  // The substituted line of every command sent so far.
  QStringList lines() const;
  // Runs `lines` and waits (at most `ms`) for the batch to become idle.
  bool run(const QStringList& lines, int ms = 5000);
  // Processes events until `n` commands have arrived or `ms` passed.
  bool waitForCmds(int n, int ms = 5000);
  // Lets queued signals settle for `ms`, for checks that nothing happens.
  static void settle(int ms = 100);

signals:
  void dispatch(QStringList lines);
  void finishCmd(quint64 seq);
  void finishAny();

private:
  bool m_idle = false;
};
