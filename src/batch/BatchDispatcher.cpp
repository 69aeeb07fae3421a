#include "batch/BatchDispatcher.h"

#include "batch/BatchCommands.h"

#include <QDebug>

BatchDispatcher::BatchDispatcher(QObject* parent)
  : QObject(parent)
{
  registerCmdLineMetaType();
  // Queued even though both ends live here: every line goes back through
  // the event loop, so a long run of keyword or blank lines never deepens
  // the stack and a stop request gets in between two lines.
  connect(this,
          &BatchDispatcher::execNextLineSig,
          this,
          &BatchDispatcher::execNextLineSlot,
          Qt::QueuedConnection);
}

void BatchDispatcher::doDispatchCmds(QStringList cmdList)
{
  m_running = true;
  m_inRem = false;
  m_lines = cmdList;
  m_index = 0;
  m_loops.clear();
  m_waitingSeq = 0;
  emit execNextLineSig();
}

void BatchDispatcher::batchStopSlot()
{
  if (m_running)
    stop();
  m_inRem = false;
}

void BatchDispatcher::stop()
{
  m_running = false;
  m_inRem = false;
  m_waitingSeq = 0;
  emit batchFinished();
}

void BatchDispatcher::finishBatchExec()
{
  finishBatchCmd(m_waitingSeq);
}

void BatchDispatcher::finishBatchCmd(quint64 seq)
{
  if (!m_running || m_waitingSeq == 0 || seq != m_waitingSeq)
    return;
  m_waitingSeq = 0;
  emit execNextLineSig();
}

QString BatchDispatcher::takeLine()
{
  QString line = m_lines.at(m_index++);
  while (m_index < m_lines.size()) {
    const QString t = line.trimmed();
    if (!t.endsWith(QLatin1Char('\\')))
      break;
    line = t.left(t.size() - 1);
    line += m_lines.at(m_index++);
  }
  return line;
}

void BatchDispatcher::execNextLineSlot()
{
  // A queued line from before a stop, or a second trigger while a command
  // is out, must not run anything.
  if (!m_running || m_waitingSeq != 0)
    return;
  if (m_index < 0 || m_index >= m_lines.size()) {
    stop();
    return;
  }
  CmdLine c = parseCmdLine(takeLine());
  if (c.cmd.isEmpty()) {
    // Nobody will report a blank line's end: go straight on.
    emit execNextLineSig();
    return;
  }
  const int keyword = batchKeywordCode(c.cmd);
  if (keyword == BatchKeyword::RemEnd)
    m_inRem = false;
  if (keyword == BatchKeyword::RemStart)
    m_inRem = true;
  if (m_inRem || keyword == BatchKeyword::None) {
    sendCommand(c);
    return;
  }
  handleKeyword(keyword, c);
}

void BatchDispatcher::handleKeyword(int keyword, const CmdLine& c)
{
  switch (keyword) {
    case BatchKeyword::For:
      forLoop(c);
      break;
    case BatchKeyword::Next:
      nextLoop(c);
      break;
    case BatchKeyword::Echo: {
      const QString text = QStringLiteral("echo %1").arg(c.args.value(0));
      qDebug().noquote() << text;
      // Every other log entry ends its own line; an echo must too, or the
      // next entry runs on after it.
      emit Log(text + QLatin1Char('\n'));
      break;
    }
    case BatchKeyword::End:
      stop();
      return;
    default: // :rem_end has done its work already
      break;
  }
  emit execNextLineSig();
}

void BatchDispatcher::sendCommand(CmdLine c)
{
  for (QString& a : c.args)
    a = substituteLoopVariables(a, m_loops);
  c.substLine = joinCmdLine(c.cmd, c.args);
  c.seq = ++m_lastSeq;
  m_waitingSeq = c.seq;
  emit Log(QStringLiteral("%1 : %2\n").arg(c.cmd, c.args.join(QLatin1Char(' '))));
  emit execCmdSig(c, m_inRem);
}

void BatchDispatcher::forLoop(const CmdLine& c)
{
  // Items taken straight from the parsed arguments, so a quoted written form
  // with blanks stays one item.
  LoopRecord r;
  r.name = c.args.value(0);
  r.form = c.args.value(1);
  r.start = c.args.value(2);
  r.end = c.args.value(3);
  r.step = c.args.value(4);
  // The last line of the `:for` itself: when it was continued over several
  // lines, going round again must not run its continuation as a command.
  r.forLine = m_index - 1;
  r.current = r.start;
  for (int i = m_loops.size() - 1; i >= 0; --i) {
    if (m_loops.at(i).name == r.name)
      m_loops.remove(i);
  }
  m_loops.append(r);
  emit Log(QStringLiteral("for %1 : %2 = %3\n").arg(r.name, r.form, r.current));
}

void BatchDispatcher::nextLoop(const CmdLine& c)
{
  const QString name = c.args.value(0);
  for (LoopRecord& r : m_loops) {
    if (r.name != name)
      continue;
    const LoopStep s = nextLoopValue(r);
    if (s.again) {
      r.current = s.value;
      m_index = r.forLine + 1;
      emit Log(QStringLiteral("next %1 : %2 = %3\n").arg(r.name, r.form, r.current));
    }
    return;
  }
}
