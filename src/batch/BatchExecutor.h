#pragma once

#include "batch/CmdLine.h"

#include <QObject>
#include <QStringList>

class BatchDispatcher;
class Session;

// Words that only concern the windows (zoom, the colour bar on screen,
// showing a window, pictures of the view): a program with windows carries
// them out; returns false when the word failed.
class WindowCommands
{
public:
  virtual ~WindowCommands() = default;
  virtual bool runWindowCommand(const CmdLine& c) = 0;
};

// Carries out the batch language against a Session: the interpreter
// (loops, echo, remarks) sends each command here, the command runs to its
// end (loads and runs included) and its end is reported exactly once.
// Without windows a window-only word writes "<word>: needs the windows,
// skipped" and ends; a word the Session cannot carry out writes
// "<word>: not available without the windows" and counts as failed. A
// failed command never stops the batch: the rest runs, and failures()
// tells how many failed.
class BatchExecutor : public QObject
{
  Q_OBJECT

public:
  explicit BatchExecutor(Session& session, QObject* parent = nullptr);
  ~BatchExecutor() override;

  void setWindows(WindowCommands* windows) { m_windows = windows; }
  // Runs the batch text to its end, ":end" or "quit"; returns then.
  void run(const QStringList& lines);
  int failures() const { return m_failures; }
  int commands() const { return m_commands; }
  bool quitRequested() const { return m_quit; }

  // One command; true when it did what it asked for.
  bool execute(const CmdLine& asWritten);

signals:
  // A command failed: its line as written.
  void commandFailed(const QString& line);

private:
  void execCmd(CmdLine cmd, bool inRem);
  bool execFileCmd(const CmdLine& c);
  bool execAnalysisCmd(const CmdLine& c);
  bool execExtraCmd(const CmdLine& c);
  bool windowOnly(const CmdLine& c);
  // A word whose values the Session keeps and whose picture on screen the
  // windows show: without windows nothing more to do.
  bool forwardToWindows(const CmdLine& c);
  bool notAvailable(const CmdLine& c);

  Session& m_session;
  WindowCommands* m_windows = nullptr;
  BatchDispatcher* m_dispatcher = nullptr;
  int m_failures = 0;
  int m_commands = 0;
  bool m_quit = false;
};
