#include "gui/app/DialogFolders.h"

#include "app/Settings.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include <memory>

namespace {

QString key(FileKind kind)
{
  switch (kind) {
    case FileKind::Images:
      return QStringLiteral("DialogFolders/Images");
    case FileKind::Spectra:
      return QStringLiteral("DialogFolders/Spectra");
    case FileKind::Maps:
      return QStringLiteral("DialogFolders/Maps");
    case FileKind::Batch:
      return QStringLiteral("DialogFolders/Batch");
    case FileKind::ShiftMaps:
      return QStringLiteral("DialogFolders/ShiftMaps");
  }
  return QString();
}

// Points the dialog at its kind's folder whenever it is about to show.
class FolderOnShow : public QObject
{
public:
  FolderOnShow(QFileDialog* dialog, FileKind kind)
    : QObject(dialog)
    , m_dialog(dialog)
    , m_kind(kind)
  {
  }

  bool eventFilter(QObject* watched, QEvent* event) override
  {
    if (watched == m_dialog && event->type() == QEvent::Show)
      m_dialog->setDirectory(dialogFolder(m_kind));
    return false;
  }

private:
  QFileDialog* m_dialog;
  FileKind m_kind;
};

std::unique_ptr<QSettings> store()
{
  return std::make_unique<QSettings>(QSettings::IniFormat,
                                     QSettings::UserScope,
                                     QStringLiteral("Lumacresta"),
                                     QStringLiteral("Lumacresta"));
}

} // namespace

QString dialogFolder(FileKind kind)
{
  const QString last = store()->value(key(kind)).toString();
  if (!last.isEmpty() && QDir(last).exists())
    return last;
  return kind == FileKind::Batch ? settings().BatchRoot : settings().DataRoot;
}

void rememberFolder(FileKind kind, const QString& chosenFile)
{
  if (chosenFile.isEmpty())
    return;
  store()->setValue(key(kind), QFileInfo(chosenFile).absolutePath());
}

void followFolder(QFileDialog* dialog, FileKind kind)
{
  dialog->installEventFilter(new FolderOnShow(dialog, kind));
  QObject::connect(dialog, &QFileDialog::filesSelected, dialog, [kind](const QStringList& files) {
    if (!files.isEmpty())
      rememberFolder(kind, files.first());
  });
}
