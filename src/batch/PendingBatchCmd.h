#pragma once

#include "batch/CmdLine.h"

// The executor's record of the batch command whose end it still owes the
// interpreter. The end is handed out exactly once: a second report of the
// same command, or a report when no batch command is out (a load started by
// hand), yields 0 and must not be sent.
class PendingBatchCmd
{
public:
  void begin(const CmdLine& cmd)
  {
    m_seq = cmd.seq;
    m_code = cmd.code;
  }
  bool isPending() const { return m_seq != 0; }
  // Code of the outstanding command, or -1 when none is out.
  int code() const { return m_seq != 0 ? m_code : -1; }
  // The sequence number to report with BatchDispatcher::finishBatchCmd, or 0.
  quint64 take()
  {
    const quint64 s = m_seq;
    m_seq = 0;
    return s;
  }

private:
  quint64 m_seq = 0;
  int m_code = -1;
};
