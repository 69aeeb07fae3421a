#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// One parsed batch line. Travels by value through queued signals between the
// interpreter's thread and the executor on the GUI thread.
struct CmdLine
{
  QString line;      // the whole line as written (continuations joined)
  QString cmd;       // the command word
  QStringList args;  // the argument items (after substitution when sent)
  QString substLine; // command word and arguments, re-parseable by parseCmdLine
  int code = 121;    // code from the command table; 121 for unknown words
  // Identifies one command sent by the interpreter; the executor hands it
  // back with the report of its end so that stray reports can be told apart.
  // 0 for a line that did not come from the interpreter.
  quint64 seq = 0;
};

Q_DECLARE_METATYPE(CmdLine)

// The longest batch line the interpreter runs, continuations joined and
// loop variables substituted (1 Mi characters): no command needs more, and
// a runaway substitution or thousands of continuations must not grow one
// line to hundreds of MB. Longer lines are skipped with a debug line.
constexpr int kMaxBatchLineChars = 1 << 20;

// Registers CmdLine for queued connections; safe to call more than once.
void registerCmdLineMetaType();

// Cuts the comment, splits the rest into items (double quotes keep blanks
// inside an item) and looks the first item up in the command table. A blank
// or comment-only line gives an empty command word.
CmdLine parseCmdLine(const QString& line);

// The command word and `args` joined by blanks, with every argument that
// would not survive re-splitting (blanks inside, or empty) put in quotes.
QString joinCmdLine(const QString& cmd, const QStringList& args);
