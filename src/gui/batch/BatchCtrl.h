#pragma once

#include "batch/CmdLine.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class BatchDispatcher;
class QFileDialog;

namespace Ui {
class BatchCtrl;
}

// The window in which a batch is written, loaded, saved, started and
// stopped, with the interpreter's progress log on its second tab.
class BatchCtrl : public QMainWindow
{
  Q_OBJECT

public:
  explicit BatchCtrl(QWidget* parent = nullptr);
  ~BatchCtrl() override;

  // Connects this window and the interpreter (not owned), which normally
  // lives on its own thread; the connections are queued.
  void setDispatcher(BatchDispatcher* dispatcher);
  // The lines last sent to the interpreter.
  const QStringList& cmdLines() const { return m_cmdLines; }

signals:
  void doDispatchCmds(QStringList cmdLines);
  void batchStop();

public slots:
  void execCmdsSlot();
  void clear();
  void clearLog();
  void save(QString fname);
  void load(QString fname);
  void Log(QString LogMsg);
  void setBatchFile(QString fname);
  void execBatchSlot();
  void showCmdErr(CmdLine cmd);
  // A known command failed: said under its line with the reason it wrote.
  void showCmdFailed(QString reason);

private:
  void showDialog(QFileDialog* dialog);

  std::unique_ptr<Ui::BatchCtrl> m_ui;
  QStringList m_cmdLines;
  BatchDispatcher* m_dispatcher = nullptr;
  QFileDialog* m_loadDialog = nullptr;
  QFileDialog* m_saveDialog = nullptr;
};
