#pragma once

#include <QFileDialog>

// The file dialog of energy-shift map files: starts in the data root, offers
// ".emp" files and any file, and picks an existing file. The calibration
// control turns its saving dialog into a save dialog.
class EShiftMapDialog : public QFileDialog
{
  Q_OBJECT

public:
  explicit EShiftMapDialog(const QString& title, QWidget* parent = nullptr);
};
