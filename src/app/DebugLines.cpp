#include "app/DebugLines.h"

namespace {

// Written once at start-up, only read afterwards.
QtMessageHandler g_next = nullptr;
thread_local DebugLineMark t_lines;

void tap(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
  ++t_lines.count;
  t_lines.last = text;
  if (g_next)
    g_next(type, context, text);
}

} // namespace

void installDebugLineTap()
{
  // A second call would hand each line back to the tap itself.
  const QtMessageHandler previous = qInstallMessageHandler(tap);
  if (previous != tap)
    g_next = previous;
}

DebugLineMark threadDebugLines()
{
  return t_lines;
}

QString debugLineSince(const DebugLineMark& before)
{
  return t_lines.count == before.count ? QString() : t_lines.last;
}
