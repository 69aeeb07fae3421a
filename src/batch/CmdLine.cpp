#include "batch/CmdLine.h"

#include "app/TextItems.h"
#include "batch/BatchCommands.h"

void registerCmdLineMetaType()
{
  qRegisterMetaType<CmdLine>("CmdLine");
}

CmdLine parseCmdLine(const QString& line)
{
  CmdLine c;
  c.line = line;
  c.args = splitItems(stripComment(line));
  if (!c.args.isEmpty())
    c.cmd = c.args.takeFirst();
  c.substLine = joinCmdLine(c.cmd, c.args);
  c.code = batchCommandCode(c.cmd);
  return c;
}

QString joinCmdLine(const QString& cmd, const QStringList& args)
{
  QString text = cmd;
  for (const QString& a : args) {
    bool quote = a.isEmpty();
    for (const QChar ch : a)
      quote = quote || ch.isSpace() || ch == QLatin1Char('#');
    text += QLatin1Char(' ');
    text += quote ? QLatin1Char('"') + a + QLatin1Char('"') : a;
  }
  return text;
}
