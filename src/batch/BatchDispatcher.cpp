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

bool BatchDispatcher::takeLine(QString& line)
{
  const int firstLine = m_index + 1;
  line = m_lines.at(m_index++);
  bool tooLong = line.size() > kMaxBatchLineChars;
  bool joined = false;
  while (m_index < m_lines.size()) {
    // Only the end of the joined text is looked at: trimming all of it for
    // every continuation made thousands of "\" lines quadratic.
    int end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
      --end;
    if (end == 0 || line.at(end - 1) != QLatin1Char('\\'))
      break;
    line.truncate(end - 1);
    if (!joined) {
      joined = true;
      int start = 0;
      while (start < line.size() && line.at(start).isSpace())
        ++start;
      line.remove(0, start);
    }
    const QString& next = m_lines.at(m_index++);
    // Past the limit only the last piece is kept, to see where the line
    // ends; the whole line is skipped.
    if (tooLong || qint64(line.size()) + next.size() > kMaxBatchLineChars) {
      tooLong = true;
      line = next;
    } else {
      line += next;
    }
  }
  if (!tooLong)
    return true;
  line.clear();
  const QString text = QStringLiteral("Batch line %1 is longer than %2 characters: skipped")
                         .arg(firstLine)
                         .arg(kMaxBatchLineChars);
  qDebug().noquote() << text;
  emit Log(text + QLatin1Char('\n'));
  return false;
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
  QString line;
  if (!takeLine(line)) {
    // Refused like a blank line: nobody reports its end.
    emit execNextLineSig();
    return;
  }
  CmdLine c = parseCmdLine(line);
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
      // Inside a loop an echo says the loop's value, as a command's
      // arguments do.
      int room = kMaxBatchLineChars;
      bool tooLong = false;
      const QString said = substituteLoopVariables(c.args.value(0), m_loops, room, &tooLong);
      const QString text = QStringLiteral("echo %1").arg(said);
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
  // The substituted arguments share the line's limit.
  int room = kMaxBatchLineChars - c.cmd.size();
  bool tooLong = room < 0;
  for (QString& a : c.args) {
    if (tooLong)
      break;
    a = substituteLoopVariables(a, m_loops, room, &tooLong);
    room -= a.size() + 1;
    tooLong = tooLong || room < 0;
  }
  if (tooLong) {
    const QString text = QStringLiteral("Batch line %1 grows beyond %2 characters with its loop "
                                        "variables: %3 not run")
                           .arg(m_index)
                           .arg(kMaxBatchLineChars)
                           .arg(c.cmd.left(80));
    qDebug().noquote() << text;
    emit Log(text + QLatin1Char('\n'));
    emit execNextLineSig();
    return;
  }
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
  const QString note = loopNumbersNote(r);
  if (!note.isEmpty()) {
    qDebug().noquote() << note;
    emit Log(note + QLatin1Char('\n'));
  }
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
