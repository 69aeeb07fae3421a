#include "gui/batch/BatchCtrl.h"
#include "gui/app/DialogFolders.h"

#include "app/Settings.h"
#include "app/TextLines.h"
#include "batch/BatchDispatcher.h"
#include "batch/BatchFile.h"
#include "ui_BatchCtrl.h"

#include <QDebug>
#include <QFileDialog>

namespace {

QFileDialog* makeDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode)
{
  auto* d = new QFileDialog(parent);
  d->setObjectName(name);
  d->setAcceptMode(mode);
  d->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                 : QFileDialog::ExistingFile);
  d->setNameFilters({ QStringLiteral("Batch File (*.bat)"), QStringLiteral("Any Files (* *.*)") });
  followFolder(d, FileKind::Batch);
  return d;
}

} // namespace

BatchCtrl::BatchCtrl(QWidget* parent)
  : QMainWindow(parent)
  , m_ui(std::make_unique<Ui::BatchCtrl>())
{
  registerCmdLineMetaType();
  m_ui->setupUi(this);
  m_loadDialog = makeDialog(this, QStringLiteral("LoadDialog"), QFileDialog::AcceptOpen);
  m_saveDialog = makeDialog(this, QStringLiteral("SaveDialog"), QFileDialog::AcceptSave);

  connect(m_ui->Exec, &QPushButton::clicked, this, &BatchCtrl::execCmdsSlot);
  connect(m_ui->Stop, &QPushButton::clicked, this, &BatchCtrl::batchStop);
  connect(m_ui->Clear, &QPushButton::clicked, this, &BatchCtrl::clear);
  connect(m_ui->ClearLog, &QPushButton::clicked, this, &BatchCtrl::clearLog);
  connect(m_ui->Load, &QPushButton::clicked, this, [this] { showDialog(m_loadDialog); });
  connect(m_ui->Save, &QPushButton::clicked, this, [this] { showDialog(m_saveDialog); });
  connect(m_loadDialog, &QFileDialog::fileSelected, this, &BatchCtrl::load);
  connect(m_saveDialog, &QFileDialog::fileSelected, this, &BatchCtrl::save);
}

BatchCtrl::~BatchCtrl() = default;

void BatchCtrl::setDispatcher(BatchDispatcher* dispatcher)
{
  if (m_dispatcher) {
    disconnect(m_dispatcher, nullptr, this, nullptr);
    disconnect(this, nullptr, m_dispatcher, nullptr);
  }
  m_dispatcher = dispatcher;
  if (!dispatcher)
    return;
  connect(this,
          &BatchCtrl::doDispatchCmds,
          dispatcher,
          &BatchDispatcher::doDispatchCmds,
          Qt::QueuedConnection);
  connect(
    this, &BatchCtrl::batchStop, dispatcher, &BatchDispatcher::batchStopSlot, Qt::QueuedConnection);
  connect(dispatcher, &BatchDispatcher::Log, this, &BatchCtrl::Log, Qt::QueuedConnection);
}

void BatchCtrl::showDialog(QFileDialog* dialog)
{
  // Shown, not exec'd: the window never blocks on the dialog.
  dialog->setDirectory(settings().BatchRoot);
  dialog->open();
}

void BatchCtrl::execCmdsSlot()
{
  // Empty lines are kept, so that line numbers match the editor's.
  m_cmdLines = m_ui->BatchCmds->toPlainText().split(QLatin1Char('\n'));
  emit doDispatchCmds(m_cmdLines);
}

void BatchCtrl::execBatchSlot()
{
  execCmdsSlot();
}

void BatchCtrl::clear()
{
  m_ui->BatchCmds->clear();
}

void BatchCtrl::clearLog()
{
  m_ui->BatchLogs->clear();
}

void BatchCtrl::save(QString fname)
{
  writeBatchFile(fname, m_ui->BatchCmds->toPlainText());
}

void BatchCtrl::load(QString fname)
{
  QStringList lines;
  switch (readBatchFile(fname, lines)) {
    case BatchFileRead::CannotOpen:
      qDebug().noquote() << "Can not open batch file : " + fname;
      return;
    case BatchFileRead::Overlong:
      qDebug().noquote() << QStringLiteral(
                              "Batch file not loaded, a line is longer than %1 bytes : %2")
                              .arg(kMaxTextLineBytes)
                              .arg(fname);
      return;
    case BatchFileRead::Done:
      break;
  }
  QString text;
  for (const QString& line : lines)
    text += line + QLatin1Char('\n');
  m_ui->BatchCmds->setPlainText(text);
}

void BatchCtrl::setBatchFile(QString fname)
{
  load(fname);
}

void BatchCtrl::Log(QString LogMsg)
{
  // Always at the end, even when the user has clicked into the log, so the
  // log stays a running transcript.
  m_ui->BatchLogs->moveCursor(QTextCursor::End);
  m_ui->BatchLogs->insertPlainText(LogMsg);
  m_ui->BatchLogs->moveCursor(QTextCursor::End);
}

void BatchCtrl::showCmdErr(CmdLine cmd)
{
  Log(QStringLiteral("Err: %1\n").arg(cmd.line));
}

void BatchCtrl::showCmdFailed(QString reason)
{
  Log(reason.isEmpty() ? tr("  failed\n") : tr("  failed: %1\n").arg(reason));
}
