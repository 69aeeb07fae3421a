#pragma once

#include "spectrum/EdgePosition.h"

#include <QFrame>
#include <QString>

#include <memory>

class EShiftMapDialog;
class XafsSpectrum;
struct ShiftStats;

namespace Ui {
class CalibCtrl;
}

// "Calibration": the standard spectrum and its background model, the
// monochromator crystal, the target spectra's background model, the
// statistics of the last run and the map file dialogs. It holds no image
// data; the main window answers its signals.
class CalibCtrl : public QFrame
{
  Q_OBJECT

public:
  explicit CalibCtrl(QWidget* parent = nullptr);
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

private:
  int stdMode() const;

  std::unique_ptr<Ui::CalibCtrl> m_ui;
  std::unique_ptr<XafsSpectrum> m_standard;
  EShiftMapDialog* m_saveDialog = nullptr;
  EShiftMapDialog* m_loadDialog = nullptr;
};
