#pragma once

#include "batch/BatchLoops.h"
#include "batch/CmdLine.h"

#include <QObject>
#include <QStringList>
#include <QVector>

// The batch interpreter. Lives on its executor's thread (BatchExecutor),
// handles the keywords (:for, :next, :echo, :rem_start, :rem_end, :end)
// itself and sends every other line to the executor with execCmdSig; the
// next line runs only when the executor reports that command's end.
//
// Reports of an end are accepted only while a command is awaited, and at
// most once per command: finishBatchCmd(seq) also checks that the report
// belongs to the awaited command (CmdLine::seq), so a completion from
// elsewhere (a load started by hand, a superseded run) never moves the
// batch on.
class BatchDispatcher : public QObject
{
  Q_OBJECT

public:
  explicit BatchDispatcher(QObject* parent = nullptr);

signals:
  void execNextLineSig();
  void execCmdSig(CmdLine cmd, bool inRem);
  void Log(QString Log);
  // The batch became idle: its text ended, it met ":end" or it was stopped.
  void batchFinished();

public slots:
  void execNextLineSlot();
  void doDispatchCmds(QStringList cmdList);
  void batchStopSlot();
  // End of the awaited command, whichever it is; ignored while none is
  // awaited.
  void finishBatchExec();
  // End of the command with this sequence number; ignored unless it is the
  // awaited one.
  void finishBatchCmd(quint64 seq);

private:
  // The next line with its continuations joined; false (and a debug line)
  // when it is longer than kMaxBatchLineChars, its pieces then all taken.
  bool takeLine(QString& line);
  void handleKeyword(int keyword, const CmdLine& c);
  void sendCommand(CmdLine c);
  void forLoop(const CmdLine& c);
  void nextLoop(const CmdLine& c);
  void stop();

  bool m_running = false;
  bool m_inRem = false;
  QStringList m_lines;
  int m_index = 0;
  QVector<LoopRecord> m_loops;
  quint64 m_waitingSeq = 0; // 0: no command awaited
  quint64 m_lastSeq = 0;    // never reset, so old reports stay stale
};
