#pragma once

#include "input/EnergyAssignment.h"

#include <QFrame>
#include <QVector>

#include <memory>

class QFileDialog;
class Units;

namespace Ui {
class EOFSetup;
}

// The "EngOfFilesSetup" window of one file list: how the energy of each
// image file is found (file name, reference file, or calculation).
class EOFSetup : public QFrame
{
  Q_OBJECT

public:
  explicit EOFSetup(QWidget* parent = nullptr);
  ~EOFSetup() override;

  // Energy in eV of file `fileName`, number `fNo` in its list, by the rule
  // the window shows at the moment of the call.
  double energyOf(const QString& fileName, int fNo) const;
  // The window's settings as a value, for callers that assign many files.
  energy::EnergyRule rule() const;
  // The fields show `r` (a batch set it in the Session); no signal.
  void showRule(const energy::EnergyRule& r);

  // Reads the energies of a reference file; false (list kept) on failure.
  bool loadRefFile(const QString& fname);

  Units* units() const { return m_units; }
  const QVector<double>& refEnergies() const { return m_refEnergies; }
  Ui::EOFSetup* ui() const { return m_ui.get(); }

signals:
  // Any setting the energies depend on was changed, by hand or by a setter.
  void settingsChanged();

public slots:
  void newStart();
  void newDelta();
  void newEnd();
  void newNumOfPoints();
  void newPattern();
  void newPatternSelected(const QString& pattern);
  void refFileSelected(const QString& fname);

private:
  energy::EnergyCalc calcFields() const;

  std::unique_ptr<Ui::EOFSetup> m_ui;
  Units* m_units;
  QFileDialog* m_refDialog;
  QVector<double> m_refEnergies;
  int m_lastNum;
};
