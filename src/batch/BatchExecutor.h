#pragma once

#include "batch/CmdLine.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class BatchDispatcher;
class Session;

// Words that only concern the windows (zoom, the colour bar on screen,
// showing a window, pictures of the view) and those whose values the
// Session keeps but whose picture the windows show (the position, the
// colour bar's range, the normalisation distances, quit): a program with
// windows carries them out; returns false when the word failed.
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

  // The windows, and where a refusal of the batch's numbers is shown
  // (offered to `refusals` and its parents); none without windows.
  void setWindows(WindowCommands* windows, QObject* refusals = nullptr)
  {
    m_windows = windows;
    m_refusals = refusals;
  }
  // The interpreter, on this executor's thread: a window sends it the
  // lines and its stop, and reads its log.
  BatchDispatcher* dispatcher() const { return m_dispatcher; }
  // True while a command runs (its runs spin nested event loops).
  bool isExecuting() const { return m_executing; }
  // Runs the batch text to its end, ":end" or "quit"; returns then.
  void run(const QStringList& lines);
  int failures() const { return m_failures; }
  int commands() const { return m_commands; }
  bool quitRequested() const { return m_quit; }

  // One command; true when it did what it asked for.
  bool execute(const CmdLine& asWritten);

signals:
  // A command failed: its line as written, and the last debug line it
  // wrote on this thread, its reason (empty when none was noted).
  void commandFailed(const QString& line, const QString& reason);
  // A command (not a remark) ended, failed or not: the windows show the
  // Session again.
  void commandEnded();

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
  QObject* m_refusals = nullptr;
  bool m_executing = false;
  // A command handed over while another still ran (a batch started again
  // from inside a run's event loop): it runs once that one has ended.
  struct Deferred
  {
    CmdLine cmd;
    bool inRem = false;
  };
  QVector<Deferred> m_deferred;
};
