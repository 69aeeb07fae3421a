#include "gui/calibration/EShiftMapDialog.h"
#include "gui/app/DialogFolders.h"

#include "app/Settings.h"

EShiftMapDialog::EShiftMapDialog(const QString& title, QWidget* parent)
  : QFileDialog(parent, title, settings().DataRoot)
{
  setNameFilters({ QStringLiteral("Energy Distribution Map File (*.emp)"),
                   QStringLiteral("Any Files (* *.*)") });
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  followFolder(this, FileKind::ShiftMaps);
}
