#pragma once

#include "analysis/LcfFit.h"
#include "spectrum/XafsSpectrum.h"

#include <QFrame>
#include <QString>

class Analyzed2DRes;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class XafsFileSelect;

// One reference row of the Analyzer: the file selector with its "Use" box,
// the reference spectrum loaded from it, the energy shift dE, the
// normalisation mode ("Victreen"), read-outs of the edge and the jump, and
// the last fraction and amount. The row owns the amount map ("LCF Ref 1") and
// the fraction map ("LCF Ref 2") of the 2-D runs.
//
// Fits never look at the row: `snapshot()` hands them a copy of the values,
// and `showResult()` writes an answer back on the GUI thread.
class LCFReference : public QFrame
{
  Q_OBJECT

public:
  // `number` is the row's 1-based number, shown on its select button.
  explicit LCFReference(int number, QWidget* parent = nullptr);
  ~LCFReference() override;

  XafsFileSelect* fileSelect() const { return m_file; }
  QRadioButton* selectButton() const { return m_selectButton; }
  const XafsSpectrum& spectrum() const { return m_spectrum; }
  // True once the chosen file was read with at least two points.
  bool isLoaded() const;
  bool isUsed() const;
  // Loaded and used: the row takes part in a fit.
  bool isUsable() const { return isLoaded() && isUsed(); }
  double deltaE() const { return m_dE; }
  bool deltaEActive() const { return m_dEActive; }
  bool isVictreen() const;
  double fraction() const { return m_fraction; }
  QString fractionText() const;
  QString amountText() const;
  QString midEText() const;
  QString dMutText() const;

  // The maps of the 2-D runs: 0 amount, 1 fraction.
  Analyzed2DRes* map(int kind) const;

  // A copy of everything a fit reads of this row.
  RefSnapshot snapshot() const;

signals:
  void newFileSelected();
  void newDeltaE();

public slots:
  // Reads and normalises `fname`; a file that cannot be read or holds
  // fewer than two points leaves the row unloaded.
  void newFile(QString fname);
  void changedUse(bool f);
  void editedDeltaE();
  void toggledIsVictreen(bool f);
  // Batch entry: use box, dE, file and Victoreen mode in one call. `isVic`
  // is read as an integer, non-zero meaning on.
  void setStd(bool use, double dE, QString fname, QString isVic);
  // Shows a fit's answer for this row: fraction x 100 and the amount.
  void showResult(double fraction, double amount);
  // A fit that gave no numbers: empty fields, not a made-up 0.00.
  void clearResult();

private:
  void clearSpectrum();
  void renormalize();
  void showEdge();

  XafsFileSelect* m_file = nullptr;
  QRadioButton* m_selectButton = nullptr;
  QLineEdit* m_deltaE = nullptr;
  QCheckBox* m_isVictreen = nullptr;
  QLineEdit* m_midE = nullptr;
  QLineEdit* m_dMut = nullptr;
  QLineEdit* m_fractionField = nullptr;
  QLineEdit* m_amountField = nullptr;

  XafsSpectrum m_spectrum;
  double m_dE = 0.0;
  bool m_dEActive = false;
  double m_fraction = 0.0;
  Analyzed2DRes* m_maps[2] = { nullptr, nullptr };
};
