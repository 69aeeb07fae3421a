#pragma once

#include "spectrum/EdgePosition.h"

#include <QFrame>
#include <QString>

#include <memory>

class EShiftMapDialog;
class Session;
class XafsSpectrum;
struct ShiftStats;

namespace Ui {
class CalibCtrl;
}

// "Calibration": the standard spectrum and its background model, the
// monochromator crystal, the target spectra's background model, the
// statistics of the last run and the map file dialogs. A view of the
// Session's calibration: every edit writes it, the standard is loaded into
// it, and showCalibration() puts it back into the fields; the main window
// answers the buttons' signals.
class CalibCtrl : public QFrame
{
  Q_OBJECT

public:
  explicit CalibCtrl(Session& session, QWidget* parent = nullptr);
  ~CalibCtrl() override;

  Ui::CalibCtrl* form() const { return m_ui.get(); }
  // Lattice spacing and name of the selected crystal.
  double spacing() const;
  QString crystalName() const;
  // The number in EdgeEeV (0 when it is none).
  double edgeEV() const;
  // The loaded standard, normalised; nullptr while none is loaded.
  const XafsSpectrum* standard() const;
  // Text of the standard selector's file-name field.
  QString stdFileName() const;
  // Point spectra with Victoreen lines instead of straight ones.
  bool targetVictoreen() const;
  bool innerPointType() const;
  // How the points' and the standard's edges are placed; Grid by default.
  EdgeLocate edgeLocate() const;
  void setEdgeLocate(EdgeLocate locate);
  // Shows a run's statistics in DEAvr, DEMin, DEMax and DESigma.
  void showStatistics(const ShiftStats& stats);
  EShiftMapDialog* saveDialog() const { return m_saveDialog; }
  EShiftMapDialog* loadDialog() const { return m_loadDialog; }

signals:
  void newStdFileLoaded();
  void execCalibration();
  void saveEMap(QString fname);
  void loadEMap(QString fname);
  void clearMap();
  void removeOutliers();

public slots:
  void newFile(QString fname);
  void stdBGToggled(bool f);
  void loadStd(QString fname);
  void setEdgeEV(QString eV);
  void loadEShiftMap(QString fname);
  // The fields follow the Session's calibration values.
  void showCalibration();

private:
  int stdMode() const;

  std::unique_ptr<Ui::CalibCtrl> m_ui;
  Session& m_session;
  EShiftMapDialog* m_saveDialog = nullptr;
  EShiftMapDialog* m_loadDialog = nullptr;
};
